#pragma once
#include <QPoint>
#include <QRect>
#include <QString>

// The macro shop's commands: opening and closing it, macro files, printing, the new-string
// flow and the two macro scrolls.
namespace MacroShop {

// The options panel's "&macro shop": the load banner, then the macro shop and its map.
void OpenFromPanel();
// The Options menu's "&macros shop": the macro shop and its map, then the load banner.
void OpenFromMenu();
// Shows the macro shop and the docked character map; a shop that was not shown opens clear of
// the main window's stack.
void Show();
// Where a shop at `shop` (its docked map `map` pixels wide at its left) goes so that the stack
// (`stack`: main window and its panels, which stay on top) covers none of it, on the screen:
// right of the stack, else left, below, above; where none fits, it stays.
QPoint ClearOfStack(const QRect& shop, int map, const QRect& stack, const QRect& screen);
// The Options menu's "&widen form by 30%" and "&normal size": a shop shown clear of the stack
// stays clear of it at its new size, where the screen has room.
void SetWide(bool wide);
// The close button: the windows regrouped, the unload banner, then both unloaded.
void Close();
// Unloads the macro shop with its Options menu and its docked map.
void Unload();
// The Files menu's "&exit" and the window menu's "&close": unloads, once the macro is kept.
void Exit();
// True when the macro shop may lose its macro: it is not open, its macro is saved, or the user
// answered "save the macro?" with Yes (and it was saved) or No. Cancel keeps it.
bool MayDiscard();

void OpenMacro();
// True when the macro was written to its file.
bool SaveMacro();
void NewMacro();
void OpenRecent(const QString& path);
// Loads a built-in macro by its menu caption; a missing file changes nothing.
void LoadBuiltin(const QString& caption);
void Print();
// The print footer of copy i of the copies as typed.
QString PrintFooter(int copy, const QString& copiesTyped);
void NewString();
// "&scroll macro" (ordinary pace) or "&overhead scroll macro".
void Scroll(bool overhead);

// The command-line file is a macro when its own suffix is "mcr" in any case.
bool IsMacroFile(const QString& path);
// Start-up with a macro file: the macro shop shows it under a title naming the file.
void OpenCommandLine(const QString& commandLine, const QString& content);
// The Files menu's notes: the macro shop with the chat list in its editor.
void ShowChatList();

// A whole number from min to max, or nothing.
bool WholeNumber(const QString& text, int min, int max, int* value);

} // namespace MacroShop
