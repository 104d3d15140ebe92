#pragma once
#include "editor/pages.h"

#include <QString>

// The contents the kill test's writer writes: version n of each file, each recognisable by its
// version number and long enough that a kill often lands in the middle of writing it.
namespace KillSafe {

inline QString Filler(quint64 n, int length)
{
    const char* marks = "~-=+*#%@";
    return QString(length, QLatin1Char(marks[n % 8]));
}

// Four pages of a quarter megabyte: a large ascii file.
inline Pages::Four AsciiPages(quint64 n)
{
    Pages::Four pages;
    for (int p = 0; p < 4; ++p)
        pages[p] = QStringLiteral("v%1 p%2 ").arg(n).arg(p + 1) + Filler(n + p, 256 * 1024);
    return pages;
}

inline QString Page(quint64 n, int p) { return QStringLiteral("v%1 p%2 ").arg(n).arg(p) + Filler(n + p, 64 * 1024); }

// A value as long as the settings file reads back (749 characters).
inline QString SettingValue(quint64 n)
{
    const QString head = QStringLiteral("v%1 ").arg(n);
    return head + Filler(n, 749 - int(head.size()));
}

} // namespace KillSafe
