#include "startup.h"

#include "chat/banners.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "app/quit.h"
#include "app/skinhooks.h"
#include "app/frmart.h"
#include "app/frmwelcome.h"
#include "app/handle.h"
#include "core/lenientnumber.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "editor/pageundo.h"
#include "macroshop/macroshop.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "shell/iconinstall.h"
#include "skin/reskin.h"
#include "skin/skinfolder.h"

#include <QDBusConnection>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryFile>

#include <fontconfig/fontconfig.h>

namespace Startup {

namespace {
QString commandLine;
// Files handed over by second launches before the staged start-up has shown the pages.
QStringList handedOver;
bool ready = false;

void handOver(const QString& path)
{
    if (ready) {
        // The running shop's pages may hold work: one undo brings them back.
        frmmain& main = Forms::get<frmmain>();
        const Pages::Four before = main.pageTexts();
        OpenFile(path);
        PageUndo::Remember(before, main.pageTexts());
    } else
        handedOver << path;
}
}

std::jthread ReadFontconfigAside()
{
    return std::jthread([] { FcInit(); });
}

std::jthread ReadFontsAside(std::jthread fontconfig)
{
    // Two threads that both find fontconfig unread would both read it; this one waits.
    // One family's question reads the database; families() would also read every family's styles.
    return std::jthread([family = QGuiApplication::font().family(), fontconfig = std::move(fontconfig)]() mutable {
        if (fontconfig.joinable())
            fontconfig.join();
        QFontDatabase::hasFamily(family);
    });
}

std::jthread ConnectSessionBusAside()
{
    // The connection is the application's one session bus connection, shared by every thread.
    return std::jthread([] { QDBusConnection::sessionBus(); });
}

void SetCommandLine(const QString& line) { commandLine = line; }
QString CommandLine() { return commandLine; }

void Launch()
{
    ready = false;
    InstallHooks();
    if (!QFile::exists(CommonKit::SettingsPath()))
        CommonKit::ResetSettings();
    // A second run goes straight to the splash: the first-run dialog is built only to be shown.
    if (CommonKit::Setting("HANDLE") != "unknown") {
        OpenMainWindow();
        return;
    }
    handle& dialog = Forms::get<handle>();
    dialog.show();
    dialog.Text1->setFocus();
}

void InstallHooks()
{
    Lifecycle::Install({
        [] { StagedStartup(Forms::get<frmmain>()); },
        [](const QString& text) { SplashStatus(text); },
        [] {
            WelcomeCheck();
            return Forms::loaded<frmwelcome>() != nullptr;
        },
        [](Lifecycle::QuitCommand command) { Quit::Run(command); },
        [](const QString& path) { handOver(path); },
        [] { return Quit::Restart(); },
    });
    SkinHooks::Install();
}

void OpenMainWindow()
{
    // Every picture of the skin that cannot be read is named in one message, before the first
    // window needs one; the windows then paint those plain without a word more.
    SkinFolder::CheckPictures(SkinFolder::ResolveSkinFolder());
    SplashStatus("  Reading INI File...");
    Forms::get<frmart>().show();
    frmmain& main = Forms::get<frmmain>();
    main.show();
    CommonKit::Pause(0.1);
}

void SplashStatus(const QString& text) { Forms::get<frmart>().setStatus(text); }

void StagedStartup(frmmain& main)
{
    main.hide();
    frmart& splash = Forms::get<frmart>();
    CommonKit::StayOnTop(&splash);
    main.WriteIndicator(0);
    SplashStatus("  Loading Skin...");
    Reskin::StartupPictures(main);
    SplashStatus("  Advertizing in chat...");
    Banners::Send(Banners::Occasion::Load);
    SplashStatus("  Loading INI Information...");
    Reskin::StartupColours(main);
    SplashStatus("  Loading saved ascii strings and text...");
    for (int n = 1; n <= 4; ++n) {
        const QString path = Pages::PageFilePath(n);
        if (CommonKit::FileExists(path)) {
            main.page(n)->setText(Pages::PageFromPageFile(CommonKit::ReadFileText(path)));
            Forms::get<menu2>().checkAll();
        }
    }
    Forms::unload<frmart>();
    Clock::processEvents();
    main.show();
    frmrect& rect = Forms::get<frmrect>();
    rect.moveTwips(main.Left(), main.Top() + main.Height());
    rect.show();
    if (CommonKit::Setting("OPTIONSWIN") == "True")
        rect.Label4_Click();
    if (CommonKit::Setting("ROLLEDUP") == "True")
        main.RollUpDown();
    main.FocusPageInUse();
    iconinstall::InstallAssociations();
    WarnIfNotWritable();
    OpenCommandLineFile();
}

void WarnIfNotWritable()
{
    // Quit writes the settings into the folder and the page files into output/.
    for (const QString& folder : {ProgramFolder::path(), ProgramFolder::file("output")}) {
        QTemporaryFile probe(folder + "/.quorl-write-test-XXXXXX");
        if (probe.open())
            continue;
        Prompts::messageBox("The program folder " + folder + " cannot be written (" + probe.errorString()
                                + ").\nYour pages, settings and strings cannot be saved there when you quit.",
                            "Quorl Ascii Shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
}

void OpenCommandLineFile()
{
    OpenFile(commandLine);
    ready = true;
    for (const QString& path : std::exchange(handedOver, {}))
        OpenFile(path);
}

void OpenFile(const QString& commandLine)
{
    if (commandLine.isEmpty())
        return;
    // A file that is missing or unreadable reads as empty and is ignored like a link file.
    const QString content = CommonKit::ReadFileText(commandLine);
    switch (ClassifyFile(commandLine, content)) {
    case HandedFile::Ignored:
        return;
    case HandedFile::Macro:
        MacroShop::OpenCommandLine(commandLine, content);
        return;
    case HandedFile::Pages:
        Forms::get<menu2>().checkAll();
        Forms::get<frmmain>().readAsciiText(content);
        return;
    }
}

HandedFile ClassifyFile(const QString& path, const QString& content)
{
    if (content.isEmpty() || content == "\r\n" || content == "link\r\n")
        return HandedFile::Ignored;
    // The file's own suffix decides; a dot in a folder name does not.
    return MacroShop::IsMacroFile(path) ? HandedFile::Macro : HandedFile::Pages;
}

void WelcomeCheck()
{
    if (CommonKit::LenientNumber(CommonKit::Setting("LOADED")) < 2)
        Forms::get<frmwelcome>().show();
}

} // namespace Startup
