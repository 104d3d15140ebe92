#pragma once
#include <QString>

class frmmain;

// The Files menu's ascii files: the four pages in one file, opened and saved through the file
// dialogs, with the recent-files list kept.
namespace AsciiFiles {

// Reads an ascii file onto the pages (only what they can hold); a file that is not a regular
// file is refused and a cut is reported to the user. False when the file was refused.
bool Read(frmmain& main, const QString& path);
void Open(frmmain& main);
void OpenRecent(frmmain& main, const QString& path);
void Save(frmmain& main);

} // namespace AsciiFiles
