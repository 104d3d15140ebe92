#include "progfolder.h"

#include "platform/filename.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <climits>
#include <unistd.h>

namespace ProgramFolder {

namespace {

QString overridden;

QString cleaned(QString p)
{
    p = QDir::cleanPath(QDir::fromNativeSeparators(p));
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    return p;
}

QString dataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }

// The executable's folder decides once per process; asking the file system on every path would
// cost a call per file name.
const QString& chosen()
{
    static const QString folder = cleaned(Choose(QCoreApplication::applicationDirPath(), {}, dataHome()));
    return folder;
}

QByteArray exeBytes()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    return n > 0 ? QByteArray(buf, n) : QByteArray();
}

QString shownName(const QByteArray& raw) { return QString::fromUtf8(raw); }

QString notUtf8(const QString& what, const QByteArray& raw)
{
    return what + " (" + shownName(raw) +
           ") has a name that is not UTF-8 text. The shop keeps its folders by name in its settings "
           "and the desktop entry, and cannot keep this one.\n\nRename or move the folder to a name "
           "in UTF-8 and start the shop again.";
}

QSet<QString> readRecord(const QString& folder)
{
    QSet<QString> record;
    QFile f(folder + "/" + kShippedRecord);
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty())
                record.insert(QString::fromUtf8(line));
    return record;
}

} // namespace

QString path()
{
    if (!overridden.isEmpty())
        return cleaned(overridden);
    const QString home = qEnvironmentVariable("QUORL_HOME");
    if (!home.isEmpty())
        return cleaned(home);
    return chosen();
}

QString file(const QString& relative) { return path() + "/" + relative; }

void setOverride(const QString& folder) { overridden = folder; }

bool IsUtf8Name(const QByteArray& raw)
{
    for (QChar c : FileName::decode(raw))
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            return false;
    return true;
}

QString ShippedFolder(const QString& appDir)
{
    if (appDir.isEmpty())
        return {};
    const QString shipped = cleaned(appDir + "/../share/quorl");
    return QFileInfo(shipped).isDir() ? shipped : QString();
}

QString Choose(const QString& appDir, const QString& quorlHome, const QString& dataHome)
{
    if (!quorlHome.isEmpty())
        return quorlHome;
    // Root can write /usr/bin, so an installed layout goes to the per-user folder however the
    // folder's bits are set.
    const bool writable = !appDir.isEmpty() && ::access(FileName::encode(appDir).constData(), W_OK) == 0;
    if (writable && ShippedFolder(appDir).isEmpty())
        return appDir;
    return dataHome + "/" + kPerUserName;
}

bool IsPerUser()
{
    return overridden.isEmpty() && qEnvironmentVariable("QUORL_HOME").isEmpty() &&
           chosen() != cleaned(QCoreApplication::applicationDirPath());
}

namespace {
const QSet<QString> kShippedTop{"Filters", "ascii", "icons", "macros", "output", "readme.ini", "skins"};
}

QString Refresh(const QString& shipped, const QString& folder)
{
    QSet<QString> record = readRecord(folder);
    QStringList failed;
    QString reason;
    const QDir from(shipped);
    QDirIterator it(shipped, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString rel = from.relativeFilePath(info.filePath());
        const QString target = folder + "/" + rel;
        // Only what a program folder holds is shipped: not whatever else sits beside the program.
        if (!kShippedTop.contains(rel.section('/', 0, 0)))
            continue;
        if (info.isDir()) {
            // The top folders come back when missing (an empty output/ costs the user nothing); a
            // skin folder the user took away stays away.
            if (!rel.contains('/') && !QDir().mkpath(target))
                failed << target;
            continue;
        }
        if (rel == kShippedRecord || (!rel.contains('/') && info.isExecutable()) || record.contains(rel))
            continue;
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink()) {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile source(info.filePath());
            if (!source.copy(target)) {
                failed << target;
                if (reason.isEmpty())
                    reason = source.errorString();
                continue;
            }
            // A copy of a read-only shipped file is the user's to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
        }
        record.insert(rel);
    }
    QStringList lines(record.begin(), record.end());
    lines.sort();
    QSaveFile out(folder + "/" + kShippedRecord);
    if (!out.open(QIODevice::WriteOnly) || out.write((lines.join('\n') + '\n').toUtf8()) < 0 || !out.commit())
        failed << out.fileName();
    if (failed.isEmpty())
        return {};
    // A folder that takes nothing fails every file: the box names a few, how many, and why.
    constexpr int kNamed = 5;
    QString text = "These files could not be written: " + failed.mid(0, kNamed).join(", ");
    if (failed.size() > kNamed)
        text += QStringLiteral(" and %1 more").arg(failed.size() - kNamed);
    if (!reason.isEmpty())
        text += " (" + reason + ")";
    return text;
}

Readiness Prepare()
{
    const QByteArray exe = exeBytes();
    const qsizetype slash = exe.lastIndexOf('/');
    if (!IsUtf8Name(exe))
        return {false, notUtf8("The shop's folder", slash > 0 ? exe.left(slash) : exe)};
    for (const char* name : {"QUORL_HOME", "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        const QByteArray raw = qgetenv(name);
        if (!IsUtf8Name(raw))
            return {false, notUtf8(QStringLiteral("The folder named by $%1").arg(name), raw)};
    }
    if (!overridden.isEmpty() || !IsPerUser())
        return {};
    const QString folder = chosen();
    if (!QDir().mkpath(folder))
        return {false, "The program folder " + folder + " cannot be made. The shop keeps your settings, "
                       "pages and skins there and cannot start without it."};
    const QString appDir = QCoreApplication::applicationDirPath();
    QString shipped = ShippedFolder(appDir);
    if (shipped.isEmpty())
        shipped = appDir; // a program folder the user cannot write: its content is the shipped one
    const QString error = Refresh(shipped, folder);
    if (error.isEmpty())
        return {};
    return {true, "The program folder " + folder + " could not be given every shipped file.\n" + error};
}

} // namespace ProgramFolder
