#pragma once
#include "core/lifecycle.h"

// The four quit commands share one procedure: remove the tray icon, send the unload banner,
// store the window position and panel state, save or delete the page files, end at once.
namespace Quit {

using Command = Lifecycle::QuitCommand;

// The caption close button: hides the docked stack and asks first.
void CloseButton();
void FilesMenu();
void WindowMenu();
void OptionsPanel();

// The shared steps after the question.
void Procedure(Command command);
// The command as its window gives it: the close button asks, the others quit at once.
void Run(Command command);

} // namespace Quit
