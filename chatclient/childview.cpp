#include "childview.h"

#include "chatclient.h"
#include "roomlog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStringEncoder>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QByteArray encode(const QString& text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

// The input box: Enter sends, as the character 13 does on the bus.
class InputEdit : public QPlainTextEdit {
public:
    InputEdit(ChatClient& client, quint32 handle)
        : client_(client)
        , handle_(handle)
    {
        setMaximumHeight(60);
        setTabChangesFocus(true);
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            client_.sendText(handle_, Msg::SetText, 0, encode(toPlainText()).replace('\n', "\r\n"));
        });
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !(e->modifiers() & Qt::ShiftModifier)) {
            client_.sendMessage(handle_, Msg::Char, 13, 0);
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }

private:
    ChatClient& client_;
    quint32 handle_;
};

std::vector<quint32> childHandles(const Window* w)
{
    std::vector<quint32> out;
    if (w)
        for (auto& c : w->children)
            out.push_back(c->handle);
    return out;
}

}

ChildView::ChildView(ChatClient& client, quint32 handle, QWidget* parent)
    : QWidget(parent)
    , client_(client)
    , handle_(handle)
{
    build();
}

ChildView::~ChildView()
{
    // The controls go before the rooms they show.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

bool ChildView::stale() const
{
    return childHandles(client_.tree().window(handle_)) != built_;
}

QWidget* ChildView::makeControl(quint32 handle)
{
    const Window* w = client_.tree().window(handle);
    switch (w->role) {
    case Role::Transcript: {
        auto* browser = new QTextBrowser;
        browser->setOpenLinks(false);
        browser->setAccessibleName(tr("Transcript"));
        // The widget hands its font to the document it shows: give it the room's.
        browser->setFont(w->log->document()->defaultFont());
        browser->setDocument(w->log->document());
        logs_.push_back(w->log);
        return browser;
    }
    case Role::Input: {
        auto* edit = new InputEdit(client_, handle);
        edit->setAccessibleName(tr("Message"));
        return edit;
    }
    case Role::List: {
        auto* list = new QListWidget;
        list->setMaximumWidth(140);
        list->setAccessibleName(tr("People"));
        return list;
    }
    case Role::Icon: {
        auto* button = new QToolButton;
        const bool modal = client_.tree().window(handle_)->role == Role::Modal;
        button->setText(modal ? tr("OK") : tr("Send"));
        button->setAccessibleName(button->text());
        connect(button, &QToolButton::clicked, this, [this, handle] {
            client_.postMessage(handle, Msg::ButtonDown, 0, 0);
            client_.postMessage(handle, Msg::ButtonUp, 0, 0);
        });
        return button;
    }
    case Role::Gauge: {
        auto* gauge = new QProgressBar;
        gauge->setRange(0, 100);
        return gauge;
    }
    default: {
        auto* label = new QLabel;
        label->setWordWrap(true);
        return label;
    }
    }
}

void ChildView::build()
{
    const Window* self = client_.tree().window(handle_);
    built_ = childHandles(self);
    controls_.clear();
    blocksShown_.clear();
    delete layout();
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    logs_.clear();

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* bottom = new QHBoxLayout;
    column->addLayout(top, 1);
    for (quint32 h : built_) {
        QWidget* control = makeControl(h);
        controls_[h] = control;
        const Role role = client_.tree().window(h)->role;
        if (role == Role::Transcript || role == Role::List)
            top->addWidget(control, role == Role::Transcript ? 1 : 0);
        else if (role == Role::Input || role == Role::Icon)
            bottom->addWidget(control, role == Role::Input ? 1 : 0);
        else
            column->addWidget(control);
    }
    column->addLayout(bottom);
    column->setStretchFactor(top, top->count() ? 1 : 0);
    refresh();
}

void ChildView::refresh()
{
    if (stale())
        build();
    const Window* self = client_.tree().window(handle_);
    if (!self)
        return;
    setEnabled(self->enabled);
    for (auto& [h, control] : controls_) {
        const Window* w = client_.tree().window(h);
        if (!w)
            continue;
        control->setEnabled(w->enabled);
        // A transcript shows its room, not its (long) text.
        const QString text = w->role == Role::Transcript ? QString() : RoomLog::decode(w->text);
        switch (w->role) {
        case Role::Transcript: {
            auto* browser = static_cast<QTextBrowser*>(control);
            const QFont font = w->log->document()->defaultFont();
            if (browser->font() != font)
                browser->setFont(font);
            // New lines come into view, as in any chat room.
            int& blocks = blocksShown_[h];
            if (blocks != browser->document()->blockCount()) {
                blocks = browser->document()->blockCount();
                browser->moveCursor(QTextCursor::End);
            }
            break;
        }
        case Role::Input: {
            auto* edit = static_cast<QPlainTextEdit*>(control);
            QString plain = text;
            plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (edit->toPlainText() != plain) {
                const QSignalBlocker quiet(edit);
                edit->setPlainText(plain);
                edit->moveCursor(QTextCursor::End);
            }
            break;
        }
        case Role::List: {
            auto* list = static_cast<QListWidget*>(control);
            const QStringList names = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            if (list->count() != names.size()) {
                list->clear();
                list->addItems(names);
            }
            break;
        }
        case Role::Gauge:
            static_cast<QProgressBar*>(control)->setValue(text.toInt());
            break;
        case Role::Icon:
            break;
        default:
            static_cast<QLabel*>(control)->setText(text);
            break;
        }
    }
}
