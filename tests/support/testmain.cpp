#include "support/helpers.h"

#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs with one application object, as the shop does, and with per-user
// folders of its own so no test touches the user's settings.
namespace {
QtMessageHandler previousHandler = nullptr;

// The offscreen platform cannot raise windows and says so at every raise; nothing to learn there.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}
}

int main(int argc, char** argv)
{
    previousHandler = qInstallMessageHandler(quietHandler);
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    // The windows reach start-up and quit as in the program.
    Startup::InstallHooks();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
