#pragma once
#include <QByteArray>
#include <QString>

// File names as the system hands them over: bytes, most often UTF-8 but not always (a name
// written in Latin-1 on an older system). A name read from raw bytes keeps every byte that is
// not UTF-8 as a stand-in character (U+DC80..U+DCFF), so it goes back to exactly the same bytes
// and the file is found.
namespace FileName {

QString decode(const QByteArray& raw);
QByteArray encode(const QString& name);

// The name with "." + suffix added when its file name has no suffix ("art" and "art." become
// "art.suffix"; "art.txt" and a folder's dot in "my.art/piece" count as they are).
QString WithSuffix(const QString& name, const QString& suffix);

} // namespace FileName
