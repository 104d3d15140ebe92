#pragma once
#include <QString>

#include <functional>

// Start-up, first run and quit live in app/, above every window, since they reach every window.
// The windows reach them through these hooks, which the program installs before the first
// window loads. A hook not installed does nothing.
namespace Lifecycle {

// TrayExit: the tray menu's "Exit", which sends no banner.
enum class QuitCommand { CloseButton, FilesMenu, WindowMenu, OptionsPanel, TrayExit };

struct Hooks {
    std::function<void()> stagedStartup;              // the main window's one-shot step
    std::function<void(const QString&)> splashStatus; // the splash's status line
    std::function<bool()> welcomeCheck;               // the main window got the focus; true: welcomed
    std::function<void(QuitCommand)> quit;            // one of the four quit commands
    std::function<void(const QString&)> openFile;     // a file handed over by a second launch
    std::function<bool()> restart;                    // a new instance in place of this one
};

void Install(const Hooks& hooks);

void StagedStartup();
void SplashStatus(const QString& text);
// True when the welcome window is open.
bool WelcomeCheck();
void Quit(QuitCommand command);
// Opens the file as the command-line file of start-up is opened.
void OpenFile(const QString& path);
// Saves what quit saves, then starts a new instance and ends this one. False when the user chose
// to stay. Without the hook the new instance starts at once.
bool Restart();

} // namespace Lifecycle
