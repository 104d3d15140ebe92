#include "desktopentry.h"

#include "core/savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace DesktopEntry {

namespace {
QString program;
}

QString Program() { return program.isEmpty() ? QCoreApplication::applicationFilePath() : program; }
void SetProgram(const QString& path) { program = path; }

QString QuoteExecArgument(const QString& arg)
{
    // A plain argument stays bare: launchers that know no desktop (xdg-open's own) take the
    // Exec line's first word as the program, quotes and all.
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    const bool plain = !arg.isEmpty() && std::none_of(arg.begin(), arg.end(), [](QChar c) {
        return reserved.contains(c) || c.unicode() < 0x20;
    });
    if (plain)
        return QString(arg).replace("%", "%%");
    // Inside the quotes: \ first, so the escapes added after it stay single.
    QString q;
    for (QChar c : arg) {
        if (c == '\\' || c == '"' || c == '`' || c == '$')
            q += '\\';
        q += c;
    }
    q = "\"" + q + "\"";
    // Field codes: a literal "%" is written twice.
    q.replace("%", "%%");
    // The value as a string: every "\" once more, and the characters a line cannot hold.
    QString v;
    for (QChar c : q) {
        if (c == '\\')
            v += "\\\\";
        else if (c == '\n')
            v += "\\n";
        else if (c == '\t')
            v += "\\t";
        else if (c == '\r')
            v += "\\r";
        else
            v += c;
    }
    return v;
}

namespace {

QString groupOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.startsWith('[') && t.endsWith(']'))
        return t.mid(1, t.size() - 2);
    return {};
}

bool isGroup(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

// The key of a "key=value" line ("" for comments and blank lines).
QString keyOf(const QString& line)
{
    if (line.trimmed().startsWith('#'))
        return {};
    const qsizetype eq = line.indexOf('=');
    return eq > 0 ? line.left(eq).trimmed() : QString();
}

QString valueOf(const QString& line)
{
    const qsizetype eq = line.indexOf('=');
    QString v = line.mid(eq + 1);
    // Blanks around "=" are allowed; the value begins after them.
    while (!v.isEmpty() && (v[0] == ' ' || v[0] == '\t'))
        v.remove(0, 1);
    return v;
}

} // namespace

KeyFile KeyFile::read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return fromText(QString::fromUtf8(f.readAll()));
}

KeyFile KeyFile::fromText(const QString& text)
{
    KeyFile k;
    if (text.isEmpty())
        return k;
    k.lines_ = text.split('\n');
    if (!k.lines_.isEmpty() && k.lines_.last().isEmpty())
        k.lines_.removeLast();
    for (QString& l : k.lines_)
        if (l.endsWith('\r'))
            l.chop(1);
    return k;
}

qsizetype KeyFile::find(const QString& group, const QString& key) const
{
    QString current;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (isGroup(lines_[i]))
            current = groupOf(lines_[i]);
        else if (current == group && keyOf(lines_[i]) == key)
            return i;
    }
    return -1;
}

QString KeyFile::value(const QString& group, const QString& key) const
{
    const qsizetype i = find(group, key);
    return i < 0 ? QString() : valueOf(lines_[i]);
}

bool KeyFile::contains(const QString& group, const QString& key) const { return find(group, key) >= 0; }

void KeyFile::setValue(const QString& group, const QString& key, const QString& value)
{
    QString current;
    qsizetype groupEnd = -1; // the line after the last non-blank line of the group
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString& l = lines_[i];
        if (isGroup(l)) {
            current = groupOf(l);
            if (current == group)
                groupEnd = i + 1;
            continue;
        }
        if (current != group)
            continue;
        if (keyOf(l) == key) {
            lines_[i] = key + "=" + value;
            return;
        }
        if (!l.trimmed().isEmpty())
            groupEnd = i + 1;
    }
    if (groupEnd < 0) {
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
            lines_ << QString();
        lines_ << "[" + group + "]";
        groupEnd = lines_.size();
    }
    lines_.insert(groupEnd, key + "=" + value);
}

QString KeyFile::text() const
{
    QString t;
    for (const QString& l : lines_)
        t += l + "\n";
    return t;
}

QString KeyFile::write(const QString& path) const { return WriteFile(path, text().toUtf8()); }

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return folder + ": the folder cannot be made";
    QString error;
    if (!SaveFile::Write(path, bytes, &error))
        return path + ": " + error;
    return {};
}

QList<QString> ListValue(const QString& value)
{
    QList<QString> list;
    QString item;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == ';') {
            item += ';';
            ++i;
        } else if (value[i] == ';') {
            list << item;
            item.clear();
        } else {
            item += value[i];
        }
    }
    if (!item.isEmpty())
        list << item;
    return list;
}

} // namespace DesktopEntry
