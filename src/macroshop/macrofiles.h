#pragma once
#include <QString>

// Macro files: the editor's text and one CR LF, written as a whole in Windows-1252.
namespace MacroFiles {

// The largest macro file the shop opens.
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

// The whole file as text. False with a reason when it is not a plain file, too large or unreadable.
bool Read(const QString& path, QString* text, QString* error);
// Replaces the file atomically with the text and one CR LF.
bool Save(const QString& text, const QString& path, QString* error);
// The built-in macro file of a menu caption: macros/ + caption without its "&" + ".mcr".
QString BuiltinPath(const QString& caption);

} // namespace MacroFiles
