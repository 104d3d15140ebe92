#pragma once
#include "core/lifecycle.h"

#include <QList>
#include <QString>

// The four quit commands share one procedure: remove the tray icon, send the unload banner,
// store the window position and panel state, save or delete the page files, end at once.
// Nothing the user made is thrown away without a word: an unsaved macro is asked about first,
// and a file that cannot be saved is named, with the choice to go back to the shop.
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

// A file quit could not write (or delete), and why.
struct Failure {
    QString file;
    QString why;
};
// Stores the window position and panel state and saves or deletes the page files as the command
// does; what could not be written is returned.
QList<Failure> SaveWork(Command command);

// The skin loader's "No": what quit saves is saved, then a new instance starts and this one
// ends. False when the user chose to stay (an unsaved macro, or a file that could not be saved).
bool Restart();

} // namespace Quit
