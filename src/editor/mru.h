#pragma once
#include <QString>
#include <array>

// A recent-files list of three entries in the per-user store (application "GLY"): values
// "1File".."3File" hold the paths and "1Description".."3Description" the names. Entry 1 is the
// newest. The main window keeps its list in section "MRU2", the macro shop in "MRU", whose
// values put the number last ("File1", "Description1").
namespace Mru {

enum class Naming { NumberFirst, NumberLast };

struct Entry {
    QString path;
    QString name;
};
using List = std::array<Entry, 3>;

List Read(const QString& section, Naming naming = Naming::NumberFirst);
// Puts the path at the top; the old entries 1 and 2 follow and entry 3 drops out. A path already
// listed is not removed first.
List Update(const QString& section, const QString& path, Naming naming = Naming::NumberFirst);
void Clear(const QString& section);
// The path's text after its last separator.
QString DisplayName(const QString& path);

} // namespace Mru
