#include "lifecycle.h"

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

} // namespace Lifecycle
