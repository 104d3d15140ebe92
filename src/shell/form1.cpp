#include "form1.h"

#include "chat/banners.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "editor/mintotray.h"
#include "help/frmhelp.h"
#include "help/helptexts.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "skin/reskin.h"

#include <QApplication>
#include <QMenu>

Form1::Form1()
{
    setObjectName("Form1");
    setAccessibleName("tray icon");
    file = new QMenu("file", this);
    file->setAccessibleName("tray menu");
    auto item = [this](const QString& caption, auto&& run) {
        QAction* a = file->addAction(caption);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    auto box = [](const QString& text, const QString& title) {
        return [text, title] { Prompts::messageBox(text, title, Prompts::Buttons::Ok, Prompts::Icon::Information); };
    };
    readme = item("Read Me!", [this] { readme_Click(); });
    advertize = item("Advertize", [] { Banners::Send(Banners::Occasion::TrayAdvertize); });
    file->addSeparator();
    betatesters = item("Beta Testers", [] { Help::ShowBetaTesters(); });
    credits = item("Credits", box(HelpTexts::Credits(), "Credits"));
    greets = item("Greets", box(HelpTexts::Greets(), "Greets"));
    file->addSeparator();
    // A note, not a command: shown greyed so nobody waits for it to do something.
    coauthor = item(HelpTexts::CoAuthorCaption(), [] {});
    coauthor->setEnabled(false);
    aboutquorl = item("About Quorl", box(HelpTexts::AboutMaker(), "About Quorl"));
    aboutskin = item("About Skin", [this] { aboutskin_Click(); });
    aboutgly = item("About GLY", box(HelpTexts::AboutParagraph(), "About GLY"));
    file->addSeparator();
    maximize = item("Maximize", [this] { maximize_Click(); });
    exit = item("Exit", [this] { exit_Click(); });
}

void Form1::readme_Click()
{
    QString text = CommonKit::ReadIni("quorl", "txt", ProgramFolder::file("readme.ini"));
    // A program folder without its readme.ini still has something to read.
    if (text.isEmpty())
        text = HelpTexts::ReadMe();
    Prompts::messageBox(text, "Read me!", Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

void Form1::aboutskin_Click()
{
    // The same box as the Help menu's, with the windows left as they are.
    Reskin::ShowSkinInfo(false);
}

void Form1::maximize_Click() { MinToTray::Restore(false); }

void Form1::exit_Click()
{
    // The windows go at once; the art on the pages is kept as every quit keeps it.
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    CommonKit::Pause(0.5);
    Lifecycle::Quit(Lifecycle::QuitCommand::TrayExit);
}
