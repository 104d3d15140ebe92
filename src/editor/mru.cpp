#include "mru.h"

#include "platform/userstore.h"

namespace Mru {

namespace {
const QString kApp = QStringLiteral("GLY");

QString valueName(int entry, const char* what, Naming naming)
{
    return naming == Naming::NumberFirst ? QString::number(entry) + what : what + QString::number(entry);
}

// A list that could not be stored is still shown; the user is told it will not last.
void write(const QString& section, const List& list, Naming naming = Naming::NumberFirst)
{
    QList<QPair<QString, QString>> values;
    for (int i = 0; i < 3; ++i) {
        values.append({valueName(i + 1, "File", naming), list[i].path});
        values.append({valueName(i + 1, "Description", naming), list[i].name});
    }
    if (!UserStore::SaveSettings(kApp, section, values))
        UserStore::TellFailure(kApp, QStringLiteral("The recent files"));
}
}

QString DisplayName(const QString& path)
{
    // "\\" is an ordinary file-name character here; only "/" separates folders.
    const qsizetype cut = path.lastIndexOf('/');
    return cut < 0 ? path : path.mid(cut + 1);
}

List Read(const QString& section, Naming naming)
{
    List list;
    for (int i = 0; i < 3; ++i) {
        list[i].path = UserStore::GetSetting(kApp, section, valueName(i + 1, "File", naming));
        list[i].name = UserStore::GetSetting(kApp, section, valueName(i + 1, "Description", naming));
    }
    return list;
}

List Update(const QString& section, const QString& path, Naming naming)
{
    const List old = Read(section, naming);
    const List list = {Entry{path, DisplayName(path)}, old[0], old[1]};
    write(section, list, naming);
    return list;
}

void Clear(const QString& section) { write(section, List{}); }

} // namespace Mru
