#include "lifecycle.h"

#include "platform/process.h"

namespace Lifecycle {

namespace {
Hooks hooks;
}

void Install(const Hooks& h) { hooks = h; }

void StagedStartup()
{
    if (hooks.stagedStartup)
        hooks.stagedStartup();
}

void SplashStatus(const QString& text)
{
    if (hooks.splashStatus)
        hooks.splashStatus(text);
}

bool WelcomeCheck() { return hooks.welcomeCheck && hooks.welcomeCheck(); }

void Quit(QuitCommand command)
{
    if (hooks.quit)
        hooks.quit(command);
}

void OpenFile(const QString& path)
{
    if (hooks.openFile)
        hooks.openFile(path);
}

bool Restart()
{
    if (hooks.restart)
        return hooks.restart();
    Process::startNewInstance();
    Process::end();
    return true;
}

} // namespace Lifecycle
