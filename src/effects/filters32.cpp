#include "filters32.h"

#include "core/commonkit.h"
#include "effects/filtertarget.h"
#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>

namespace Filters32 {

namespace {
const QString kMarker = QStringLiteral("!>");

// Where the line starting at pos ends, and where the next begins. Editors write CR LF, LF or a
// lone CR; in a file with LF a lone CR is part of a rule (it finds the CR of a line end).
qsizetype lineEnd(QStringView text, qsizetype pos, bool crOnly, qsizetype* next)
{
    const qsizetype end = text.indexOf(crOnly ? u'\r' : u'\n', pos);
    if (end < 0) {
        *next = text.size();
        return text.size();
    }
    *next = end + 1;
    return !crOnly && end > pos && text[end - 1] == u'\r' ? end - 1 : end;
}
}

QString ReadFilterFile(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return fail(QStringLiteral("The filter file %1 does not exist.").arg(info.fileName()));
    // Only a plain file is read: opening a FIFO would wait for a writer that never comes.
    if (!info.isFile())
        return fail(QStringLiteral("%1 is not a plain file.").arg(info.fileName()));
    if (info.size() > kMaxFilterBytes)
        return fail(QStringLiteral("%1 is too large for a filter (%2 bytes; a filter holds at most %3).")
                        .arg(info.fileName())
                        .arg(info.size())
                        .arg(kMaxFilterBytes));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 cannot be read: %2").arg(info.fileName(), f.errorString()));
    const QByteArray bytes = CommonKit::ReadAtMost(f, kMaxFilterBytes + 1);
    if (bytes.size() > kMaxFilterBytes)
        return fail(QStringLiteral("%1 is too large for a filter.").arg(info.fileName()));
    // A rule file is text; a NUL byte says it is something else that only bears the name.
    if (bytes.contains('\0'))
        return fail(QStringLiteral("%1 holds binary data, not filter rules.").arg(info.fileName()));
    if (bytes.isEmpty())
        return fail(QStringLiteral("%1 is empty: a filter holds a name line and its rules.").arg(info.fileName()));
    return CodePage::toUnicode(bytes);
}

QString GetFilterName(const QString& path)
{
    const QString content = ReadFilterFile(path);
    const qsizetype colon = content.indexOf(u':');
    return colon < 0 ? QString() : content.left(colon);
}

QString ListedName(const QString& path)
{
    const QString name = GetFilterName(path);
    if (name == QLatin1String("  "))
        return name;
    if (name.trimmed().isEmpty() || name.contains(u'\r') || name.contains(u'\n'))
        return QFileInfo(path).fileName();
    return name;
}

int ApplyFilterRules(const QString& content, QString& text, QString* error, qsizetype limit)
{
    // The header line is never a rule; a file of one line has no rules.
    const bool crOnly = !content.contains(u'\n');
    qsizetype rulesStart = 0;
    if (lineEnd(content, 0, crOnly, &rulesStart) >= content.size())
        return 0;
    QStringView rules = QStringView(content).mid(rulesStart);
    int applied = 0;
    int lineNo = 1; // the header is line 1
    qsizetype pos = 0;
    // Worked on a copy, so a rule that passes the limit leaves the text as it was.
    QString work = text;
    while (pos < rules.size()) {
        ++lineNo;
        qsizetype next = 0;
        const qsizetype end = lineEnd(rules, pos, crOnly, &next);
        QStringView line = rules.mid(pos, end - pos);
        pos = next;
        const qsizetype marker = line.indexOf(kMarker);
        // A line without the marker (an empty line too) or with nothing to find is no rule.
        if (marker <= 0)
            continue;
        if (!CommonKit::ReplaceTextWithin(work, line.left(marker).toString(), line.mid(marker + 2).toString(),
                                          limit)) {
            if (error) {
                // A rule line can be long; the message names it by its start.
                QString shown = line.left(60).toString();
                if (line.size() > 60)
                    shown += QStringLiteral("...");
                *error = QStringLiteral("The rule on line %1 (%2) would make the macro larger than %3 MB, so "
                                        "the filter was stopped and the macro left as it was.")
                             .arg(QString::number(lineNo), shown,
                                  QString::number((limit + 1024 * 1024 - 1) / (1024 * 1024)));
            }
            return -1;
        }
        ++applied;
    }
    text = std::move(work);
    return applied;
}

QString ApplyFilterFile(const QString& path, QString& text, QString* error)
{
    QString why;
    const QString content = ReadFilterFile(path, &why);
    if (content.isEmpty()) {
        if (error)
            *error = why;
        return QStringLiteral("BLANKFILE");
    }
    const int applied = ApplyFilterRules(content, text, error);
    if (applied < 0)
        return QStringLiteral("TOOLARGE");
    if (applied == 0) {
        if (error)
            *error = QStringLiteral("%1 holds no rule, so the text was left as it was. A rule is a line after "
                                    "the name line: the text to find, \"!>\", and what replaces it.")
                         .arg(QFileInfo(path).fileName());
        return QStringLiteral("NORULE");
    }
    return {};
}

QString ApplyFilterFile(const QString& path, const FilterTarget& box, QString* error)
{
    if (!box.isValid()) {
        if (error)
            *error = QStringLiteral("There is no macro to filter: the macro shop is closed.");
        return QStringLiteral("BLANKFILE");
    }
    QString text = box.read();
    const QString r = ApplyFilterFile(path, text, error);
    if (r.isEmpty())
        box.write(text);
    return r;
}

} // namespace Filters32
