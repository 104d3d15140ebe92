#include "mailwait.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A relay that answers within this needs no window.
constexpr double kQuiet = 4.0;
}

MailWait::MailWait()
{
    setObjectName("mailwait");
    setWindowTitle("quorl ascii shop");
    setAccessibleName("waiting for the mail relay");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(320);
    layout->addWidget(Label1);
    Button1 = new QPushButton("&Stop waiting", this);
    Button1->setAccessibleName("Stop waiting");
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, [this] {
        stopped_ = true;
        hide();
    });
}

bool MailWait::watch(double waited)
{
    if (stopped_)
        return false;
    if (waited >= kQuiet) {
        Label1->setText(QString("The mail relay has the whole mail and has not yet said that it takes it (%1 s). "
                                "Relays may take some minutes. If you stop waiting, the mail may still arrive.")
                            .arg(int(waited)));
        if (!isVisible()) {
            show();
            raise();
            Button1->setFocus();
        }
    }
    return true;
}
