#include "inifile.h"

#include "core/savefile.h"
#include "platform/codepage.h"

#include <QFile>
#include <QStringList>

namespace IniFile {

namespace {

bool isBlank(QChar c) { return c == ' ' || c == '\t'; }

QString trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// "[name]" gives name; anything else gives a null string.
QString sectionName(const QString& line)
{
    const QString t = trimmed(line);
    if (!t.startsWith('['))
        return {};
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return {};
    return trimmed(t.mid(1, close - 1));
}

QStringList readLines(const QString& path, bool* exists)
{
    QFile f(path);
    *exists = f.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QByteArray bytes = f.readAll();
    // A file saved by an editor that marks UTF-8 still holds the same lines behind the mark.
    // Every mark goes, as the writer drops them: a second one must not become the first.
    while (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString text = CodePage::toUnicode(bytes);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool keyMatches(const QString& line, const QString& key, QString* value)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    if (trimmed(line.left(eq)).compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = trimmed(line.mid(eq + 1));
    return true;
}

// A value is one line: a line break in it would write lines of its own (keys, sections) into
// the file, so it ends at its first one.
QString oneLine(const QString& s)
{
    qsizetype at = 0;
    while (at < s.size() && s[at] != '\r' && s[at] != '\n')
        ++at;
    return s.left(at);
}

} // namespace

QString ReadProfileString(const QString& section, const QString& key, const QString& fallback, int bufferSize,
                          const QString& path)
{
    bool exists = false;
    const QStringList lines = readLines(path, &exists);
    bool inSection = false;
    QString value = fallback;
    for (const QString& line : lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && keyMatches(line, trimmed(key), &value))
            break;
    }
    return value.left(std::max(0, bufferSize - 1));
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& path)
{
    bool exists = false;
    QStringList lines = readLines(path, &exists);
    const QString entry = oneLine(key) + "=" + oneLine(value);

    qsizetype sectionStart = -1; // line after the section header
    qsizetype lastInSection = -1; // last non-blank line of the section
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break;
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionStart = i + 1;
                lastInSection = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (keyMatches(lines[i], trimmed(key), nullptr)) {
            lines[i] = entry;
            replaced = true;
            break;
        }
        if (!trimmed(lines[i]).isEmpty())
            lastInSection = i;
    }
    if (!replaced) {
        if (sectionStart < 0) {
            lines << "[" + section + "]" << entry;
        } else {
            lines.insert(lastInSection + 1, entry);
        }
    }

    QByteArray bytes;
    for (const QString& line : lines)
        bytes += CodePage::fromUnicode(line) + "\r\n";
    return SaveFile::Write(path, bytes);
}

} // namespace IniFile
