#include "app/startup.h"
#include "editor/mintotray.h"
#include "help/artwork.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("quorl");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Artwork::ProgramIcon());
    // The whole command line is the path of one file.
    QStringList args = app.arguments();
    args.removeFirst();
    Startup::SetCommandLine(args.join(' '));
    // A shop of this folder hidden to the tray comes back instead of a second one starting.
    if (MinToTray::WakeRunningShop())
        return 0;
    Startup::Launch();
    return app.exec();
}
