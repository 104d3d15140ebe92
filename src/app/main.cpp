#include "app/startup.h"
#include "editor/mintotray.h"
#include "help/artwork.h"
#include "platform/filename.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    // Reading the system's fonts is the largest single cost of a start: fontconfig's part begins
    // before the application and goes on beside it. Joined on every way out.
    std::jthread fontconfig = Startup::ReadFontconfigAside();
    QApplication app(argc, argv);
    std::jthread fonts = Startup::ReadFontsAside(std::move(fontconfig));
    std::jthread bus = Startup::ConnectSessionBusAside();
    QApplication::setApplicationName("quorl");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Artwork::ProgramIcon());
    // The whole command line is the path of one file, taken from the raw bytes so that a name
    // that is not UTF-8 still finds its file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << FileName::decode(argv[i]);
    Startup::SetCommandLine(args.join(' '));
    // Before anything reads or writes the program folder: refuse a name the shop cannot keep, and
    // fill the per-user folder of an installed shop.
    const ProgramFolder::Readiness ready = ProgramFolder::Prepare();
    if (!ready.message.isEmpty())
        Prompts::messageBox(ready.message, "Quorl Ascii Shop", Prompts::Buttons::Ok,
                            ready.start ? Prompts::Icon::Exclamation : Prompts::Icon::Critical);
    if (!ready.start)
        return 1;
    // A running shop of this folder comes back and takes the file instead of a second one starting.
    if (MinToTray::HandOverOrListen(Startup::CommandLine()))
        return 0;
    Startup::Launch();
    fonts.join();
    return app.exec();
}
