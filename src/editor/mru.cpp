#include "mru.h"

#include "platform/userstore.h"

namespace Mru {

namespace {
const QString kApp = QStringLiteral("GLY");

void write(const QString& section, const List& list)
{
    for (int i = 0; i < 3; ++i) {
        UserStore::SaveSetting(kApp, section, QString::number(i + 1) + "File", list[i].path);
        UserStore::SaveSetting(kApp, section, QString::number(i + 1) + "Description", list[i].name);
    }
}
}

QString DisplayName(const QString& path)
{
    // "\\" is an ordinary file-name character here; only "/" separates folders.
    const qsizetype cut = path.lastIndexOf('/');
    return cut < 0 ? path : path.mid(cut + 1);
}

List Read(const QString& section)
{
    List list;
    for (int i = 0; i < 3; ++i) {
        list[i].path = UserStore::GetSetting(kApp, section, QString::number(i + 1) + "File");
        list[i].name = UserStore::GetSetting(kApp, section, QString::number(i + 1) + "Description");
    }
    return list;
}

List Update(const QString& section, const QString& path)
{
    const List old = Read(section);
    const List list = {Entry{path, DisplayName(path)}, old[0], old[1]};
    write(section, list);
    return list;
}

void Clear(const QString& section) { write(section, List{}); }

} // namespace Mru
