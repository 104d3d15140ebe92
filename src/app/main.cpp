#include "app/startup.h"
#include "editor/mintotray.h"
#include "help/artwork.h"
#include "platform/filename.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include <thread>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Reading the system's fonts is the largest single cost of a start; it runs beside the rest
    // of the start-up until the first text needs them (the font database is thread-safe).
    // Joined on every way out of main().
    std::jthread fonts([] { QFontDatabase::families(); });
    QApplication::setApplicationName("quorl");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Artwork::ProgramIcon());
    // The whole command line is the path of one file, taken from the raw bytes so that a name
    // that is not UTF-8 still finds its file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << FileName::decode(argv[i]);
    Startup::SetCommandLine(args.join(' '));
    // A running shop of this folder comes back and takes the file instead of a second one starting.
    if (MinToTray::HandOverOrListen(Startup::CommandLine()))
        return 0;
    Startup::Launch();
    fonts.join();
    return app.exec();
}
