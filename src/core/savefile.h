#pragma once
#include <QByteArray>
#include <QString>

// The one way the shop replaces a file: written beside it, every byte checked as written and
// flushed, and only then put in place. A full disk, a quota or an I/O error leaves the old file
// whole (QSaveFile alone still replaces it when the failure shows only at flush time).
namespace SaveFile {

// False when the file was left as it was; error (when given) then says why.
bool Write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For tests on machines where no small file system can be mounted: every write then fails at
// flush time, as on a full disk.
void SetFailAtFlush(bool fail);

} // namespace SaveFile
