#pragma once
#include <QString>

#include <functional>

class DirList;

// Small helpers the tests and the benches share.
namespace TestHelpers {

// Before the application object: the offscreen platform unless another is asked for, and
// per-user folders below home, so the user's own settings and autostart entries stay untouched.
void isolate(const QString& home);
// Makes a program folder as the shop ships it (the default skin and the empty shipped folders)
// and makes it the program folder of this process.
void makeProgramFolder(const QString& folder);
// Copies a folder tree (the shipped skins into a temporary program folder).
void copyTree(const QString& from, const QString& to);
// CPU seconds this process has used, user and system.
double cpuSeconds();
// Runs the event loop until the condition holds, at most five seconds; the chat client handles
// posted messages after it has answered the post.
bool eventually(const std::function<bool()>& condition);

// The row of a folder in the skin loader's folder list, or -1.
int rowOf(const DirList* list, const QString& folder);
// A double click on the folder's row, as the mouse makes it: press, release, the second press as
// a double click, release.
void doubleClickFolder(DirList* list, const QString& folder);

} // namespace TestHelpers
