#pragma once
#include <QString>

// Our own reader and writer of profile (INI) files, behaving as the Windows profile routines do:
// sections and keys match without regard to case, blanks around a value are not part of it, an
// existing key is replaced in place, a new key goes at the end of its section, and the file and
// the section are created when missing. Files are Windows-1252 with CR LF line ends.
namespace IniFile {

// The value, or fallback when the file, the section or the key is missing. At most
// bufferSize - 1 characters come back, as from a fixed buffer.
QString ReadProfileString(const QString& section, const QString& key, const QString& fallback,
                          int bufferSize, const QString& path);

// Writes key=value (the key exactly as given). Returns false when the file could not be written;
// the file is replaced atomically, so a failed write leaves the old file whole.
bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& path);

} // namespace IniFile
