#include "quit.h"

#include "chat/banners.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/mintotray.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "macroshop/macroshop.h"
#include "platform/process.h"
#include "platform/prompts.h"
#include "shell/systrayicon.h"

#include <QFile>

namespace Quit {

namespace {
QString singleText(int twips) { return QString::number(double(float(twips)), 'g', 7); }

void showStack()
{
    Forms::get<frmmain>().show();
    frmrect& rect = Forms::get<frmrect>();
    rect.show();
    if (rect.optionsOpen())
        Forms::get<ops>().show();
}

// True when the user quits anyway; the box closed without an answer goes back to the shop.
bool quitAnyway(const QList<Failure>& failures, const QString& leaving)
{
    QString text = "Your work could not be saved:\n";
    for (const Failure& f : failures)
        text += "\n" + f.file + ": " + f.why;
    text += "\n\nPress 'Yes' to " + leaving
            + " anyway and lose what was not saved, or 'No' to go back to the shop (free some space or make the "
              "folder writable, then try again).";
    return Prompts::messageBox(text, "Quorl Ascii Shop", Prompts::Buttons::YesNoDefaultNo, Prompts::Icon::Exclamation)
           == Prompts::Answer::Yes;
}
}

void CloseButton()
{
    frmmain& main = Forms::get<frmmain>();
    frmrect& rect = Forms::get<frmrect>();
    main.hide();
    rect.hide();
    if (auto* o = Forms::loaded<ops>())
        o->hide();
    const auto answer = Prompts::messageBox("Are you sure you want to quit without saving your ascii...?",
                                            "Quorl Ascii Shop", Prompts::Buttons::YesNo, Prompts::Icon::Question);
    if (answer != Prompts::Answer::Yes) {
        showStack();
        return;
    }
    Procedure(Command::CloseButton);
}

void FilesMenu() { Procedure(Command::FilesMenu); }
void WindowMenu() { Procedure(Command::WindowMenu); }
void OptionsPanel() { Procedure(Command::OptionsPanel); }

void Run(Command command)
{
    if (command == Command::CloseButton)
        CloseButton();
    else
        Procedure(command);
}

QList<Failure> SaveWork(Command command)
{
    QList<Failure> failures;
    frmmain& main = Forms::get<frmmain>();
    const QString settings = CommonKit::SettingsPath();
    const auto store = [&](const QString& key, const QString& value) {
        if (!CommonKit::WriteIni("quorl", key, value, settings) && failures.isEmpty())
            failures.append({settings, "the window place and panel state could not be written"});
    };
    store("X", singleText(main.Left()));
    store("Y", singleText(main.Top()));
    store("OPTIONSWIN", Forms::get<frmrect>().optionsOpen() ? "True" : "False");
    store("ROLLEDUP", Forms::get<menu1>().rollCaption() == "&roll down" ? "True" : "False");
    const bool fromMenu = command == Command::FilesMenu || command == Command::WindowMenu;
    for (int n = 1; n <= 4; ++n) {
        const QString path = Pages::PageFilePath(n);
        QString error;
        if (!main.page(n)->text().isEmpty() || fromMenu) {
            if (!CommonKit::SaveTextBox(main.page(n), path, &error))
                failures.append({path, error});
        } else if (CommonKit::FileExists(path)) {
            // A page file left behind would bring an emptied page back at the next start.
            QFile file(path);
            if (!file.remove())
                failures.append({path, "the old page file could not be deleted: " + file.errorString()});
        }
    }
    if (!fromMenu) {
        QString error;
        const QString path = Pages::PageFilePath(0);
        if (!CommonKit::SaveString(Pages::AsciiFileText(main.pageTexts()), path, &error))
            failures.append({path, error});
    }
    return failures;
}

void Procedure(Command command)
{
    // The close button hid the stack before its question; whoever stays gets it back.
    const bool hidden = command == Command::CloseButton;
    if (!MacroShop::MayDiscard()) {
        if (hidden)
            showStack();
        return;
    }
    const QList<Failure> failures = SaveWork(command);
    if (!failures.isEmpty() && !quitAnyway(failures, "quit")) {
        showStack();
        return;
    }
    systrayicon::RemoveTrayIcon();
    switch (command) {
    case Command::CloseButton: Banners::Send(Banners::Occasion::UnloadCloseButton); break;
    case Command::OptionsPanel: Banners::Send(Banners::Occasion::UnloadPanel); break;
    case Command::FilesMenu:
    case Command::WindowMenu: Banners::Send(Banners::Occasion::UnloadMenu); break;
    case Command::TrayExit: break;
    }
    Process::end();
}

bool Restart()
{
    if (!MacroShop::MayDiscard())
        return false;
    // Saved as the close button saves: the new instance starts with these pages and this place.
    const QList<Failure> failures = SaveWork(Command::CloseButton);
    if (!failures.isEmpty() && !quitAnyway(failures, "restart"))
        return false;
    // The new instance must not find this one listening and hand itself over to it.
    MinToTray::StopListening();
    Process::startNewInstance();
    Process::end();
    return true;
}

} // namespace Quit
