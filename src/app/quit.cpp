#include "quit.h"

#include "chat/banners.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "platform/process.h"
#include "platform/prompts.h"
#include "shell/systrayicon.h"

#include <QFile>

namespace Quit {

namespace {
QString singleText(int twips) { return QString::number(double(float(twips)), 'g', 7); }
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
        main.show();
        rect.show();
        if (rect.optionsOpen())
            Forms::get<ops>().show();
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

void Procedure(Command command)
{
    systrayicon::RemoveTrayIcon();
    switch (command) {
    case Command::CloseButton: Banners::Send(Banners::Occasion::UnloadCloseButton); break;
    case Command::OptionsPanel: Banners::Send(Banners::Occasion::UnloadPanel); break;
    case Command::FilesMenu:
    case Command::WindowMenu: Banners::Send(Banners::Occasion::UnloadMenu); break;
    case Command::TrayExit: break;
    }
    frmmain& main = Forms::get<frmmain>();
    CommonKit::SetSetting("X", singleText(main.Left()));
    CommonKit::SetSetting("Y", singleText(main.Top()));
    CommonKit::SetSetting("OPTIONSWIN", Forms::get<frmrect>().optionsOpen() ? "True" : "False");
    CommonKit::SetSetting("ROLLEDUP", Forms::get<menu1>().rollCaption() == "&roll down" ? "True" : "False");
    const bool fromMenu = command == Command::FilesMenu || command == Command::WindowMenu;
    for (int n = 1; n <= 4; ++n) {
        const QString path = Pages::PageFilePath(n);
        if (!main.page(n)->text().isEmpty() || fromMenu)
            CommonKit::SaveTextBox(main.page(n), path);
        else if (CommonKit::FileExists(path))
            QFile::remove(path);
    }
    if (!fromMenu)
        CommonKit::SaveString(Pages::AsciiFileText(main.pageTexts()), Pages::PageFilePath(0));
    Process::end();
}

} // namespace Quit
