#include "extract.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "help/helptexts.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "shell/links.h"
#include "skin/pushlabel.h"

#include <QProgressBar>
#include <QTimer>

extract::extract()
{
    setObjectName("extract");
    setAccessibleName("quorl ascii shop setup");
    resize(Twips::toPixels(4800), Twips::toPixels(2040));
    Label1 = new MouseLabel("    &quorl ascii shop setup", this);
    place(Label1, 0, 0, 4800, 240);
    Label3 = new MouseLabel("&please wait while needed files extract for this program to function properly.", this);
    Label3->setWordWrap(true);
    place(Label3, 240, 420, 4320, 480);
    Label2 = new MouseLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    place(Label2, 240, 960, 4320, 420);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 3);
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 240, 1500, 4320, 240);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &extract::Timer1_Timer);
    attachTitleDrag(Label1);
}

void extract::Form_Load()
{
    ApplyDialogSkin({"frm.bmp", {}, Label1, "frmtitlebar", {Label2, Label3}, {}, {}});
}

void extract::showEvent(QShowEvent* e)
{
    SkinnedForm::showEvent(e);
    Timer1->start();
}

void extract::Timer1_Timer()
{
    Timer1->stop();
    ProgressBar1->setValue(0);
    const struct {
        const char* file;
        QString text;
    } files[] = {
        {"ascii/asc.asc", QString()},
        {"output/about.gly", HelpTexts::AboutParagraph()},
        {"readme.txt", "[READ ME!]\r\n" + HelpTexts::ReadMe()},
    };
    for (int i = 0; i < 3; ++i) {
        const QString path = ProgramFolder::file(files[i].file);
        if (CommonKit::FileExists(path)) {
            hide();
            Prompts::messageBox(path + " file already exists.", "Error");
            show();
            Timer1->stop();
        } else {
            CommonKit::SaveString(files[i].text, path);
        }
        if (i < 2) {
            Label2->setText(path);
            Clock::processEvents();
        }
        ProgressBar1->setValue(i + 1);
    }
    Links::WriteLinkFile(Links::StartMenuLink());
    Links::WriteLinkFile(Links::QuickLaunchLink());
    Label2->setText("Please hold while we refesh your GLY folder...");
    CommonKit::Pause(2.2);
    Timer1->stop();
    hide();
    CommonKit::Pause(0.1);
    Clock::processEvents();
    Startup::OpenMainWindow();
    Forms::unload<extract>();
}
