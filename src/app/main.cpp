#include "core/startup.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("quorl");
    QApplication::setQuitOnLastWindowClosed(false);
    // The whole command line is the path of one file.
    QStringList args = app.arguments();
    args.removeFirst();
    Startup::SetCommandLine(args.join(' '));
    Startup::Launch();
    return app.exec();
}
