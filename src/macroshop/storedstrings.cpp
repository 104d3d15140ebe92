#include "storedstrings.h"

#include "platform/userstore.h"

namespace StoredStrings {

const char* const kNone = "&none";

QStringList Load()
{
    QStringList entries;
    for (int n = 1; n <= kSlots; ++n)
        entries << UserStore::GetSetting("GLY", "Strings", "String" + QString::number(n), kNone);
    return entries;
}

bool Save(const QStringList& entries)
{
    QList<QPair<QString, QString>> values;
    for (int n = 1; n <= kSlots; ++n)
        values.append({"String" + QString::number(n), entries.value(n - 1, kNone)});
    return UserStore::SaveSettings("GLY", "Strings", values);
}

int FreeSlot(const QStringList& entries)
{
    for (int i = 0; i < kSlots && i < entries.size(); ++i)
        if (entries[i].startsWith(QLatin1String(kNone)))
            return i;
    return -1;
}

QString HintOf(int slot) { return slot == 12 ? QStringLiteral("ESC") : "F" + QString::number(slot + 1); }

bool Inserts(const QString& caption)
{
    if (caption.left(5).toLower() == QLatin1String(kNone))
        return false;
    for (int i = 0; i < kSlots; ++i)
        if (caption == HintOf(i))
            return false;
    return true;
}

} // namespace StoredStrings
