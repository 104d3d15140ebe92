#include "iconinstall.h"

#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "shell/desktopentry.h"
#include "shell/desktoptools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace iconinstall {

namespace {

// The sizes drawn for each icon (tools/makeicons.py).
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QString dataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }
QString configHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }

QString iconName(const QString& className) { return MimeType(className).replace('/', '-'); }

QString sourceIcon(const QString& base, int size)
{
    return ProgramFolder::file(QStringLiteral("icons/%1-%2.png").arg(base).arg(size));
}

QString hicolor(const QString& context, const QString& name, int size)
{
    return dataHome() + QStringLiteral("/icons/hicolor/%1x%1/%2/%3.png").arg(size).arg(context, name);
}

QString xmlEscaped(const QString& s) { return s.toHtmlEscaped(); }

QString copyIcon(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return {}; // a picture missing from the program folder: the type is registered without it
    return DesktopEntry::WriteFile(to, source.readAll());
}

QString packageXml(const QString& ext, const QString& className, const QString& description)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>%2</comment>\n"
                          "    <sub-class-of type=\"text/plain\"/>\n"
                          "    <icon name=\"%3\"/>\n"
                          "    <glob pattern=\"*%4\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(MimeType(className), xmlEscaped(description), iconName(className), xmlEscaped(ext));
}

// True when the registration of the type needs writing again.
bool stale(const QString& className, const QString& icon)
{
    const auto entry = DesktopEntry::KeyFile::read(DesktopEntryPath());
    // The stored command is compared without regard to case, as the shop always has.
    if (entry.value("Desktop Entry", "Exec").toLower() != ExecLine().toLower())
        return true;
    if (!DesktopEntry::ListValue(entry.value("Desktop Entry", "MimeType")).contains(MimeType(className)))
        return true;
    if (!QFile::exists(MimePackagePath(className)))
        return true;
    // A cache tool killed or stopped before it ended leaves the desktop without the type: built
    // again while the cache is older than the package (when the tool is there to build it).
    const QFileInfo cache(dataHome() + "/mime/mime.cache");
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty() &&
        (!cache.exists() || cache.lastModified() < QFileInfo(MimePackagePath(className)).lastModified()))
        return true;
    for (int size : kSizes)
        if (QFile::exists(sourceIcon(icon, size)) && !QFile::exists(IconPath(className, size)))
            return true;
    return false;
}

// The same file, however the two names reach it.
bool sameProgram(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// The program a desktop entry's Exec line starts: its first word, quoted or not, found on the
// PATH when it names no folder.
QString execProgram(const QString& exec)
{
    QString first = exec.trimmed();
    if (first.startsWith('"')) {
        const qsizetype end = first.indexOf('"', 1);
        first = first.mid(1, end < 0 ? -1 : end - 1);
    } else {
        first = first.section(' ', 0, 0);
    }
    return first.contains('/') ? first : QStandardPaths::findExecutable(first);
}

// True when a data folder of the system (not the user's) holds the shop's desktop entry for this
// executable and the type, and the package of both types: an installed shop then adds nothing
// of its own.
bool systemWide(const QString& className)
{
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (dir == dataHome() || !QFile::exists(dir + "/mime/packages/quorl.xml"))
            continue;
        const auto entry = DesktopEntry::KeyFile::read(dir + "/applications/" + DesktopId());
        if (DesktopEntry::ListValue(entry.value("Desktop Entry", "MimeType")).contains(MimeType(className)) &&
            sameProgram(execProgram(entry.value("Desktop Entry", "Exec")), DesktopEntry::Program()))
            return true;
    }
    return false;
}

// With the entry installed system-wide, the user's own entry from a shop started elsewhere would
// hide it; the default stays the user's choice, written once.
QString defaultOnly(const QString& className)
{
    const auto own = DesktopEntry::KeyFile::read(DesktopEntryPath());
    if (own.value("Desktop Entry", "Name") == "quorl ascii shop" &&
        !sameProgram(execProgram(own.value("Desktop Entry", "Exec")), DesktopEntry::Program())) {
        QFile::remove(DesktopEntryPath());
        DesktopTools::Run("update-desktop-database", {dataHome() + "/applications"});
    }
    auto apps = DesktopEntry::KeyFile::read(MimeAppsPath());
    if (apps.contains("Default Applications", MimeType(className)))
        return {};
    apps.setValue("Default Applications", MimeType(className), DesktopId() + ";");
    return apps.write(MimeAppsPath());
}

QString install(const QString& ext, const QString& className, const QString& description, const QString& icon)
{
    if (systemWide(className))
        return defaultOnly(className);
    if (!stale(className, icon))
        return {};
    QString error;
    RegisterFileType(ext, className, description, icon, &error);
    return error;
}

} // namespace

QString DesktopId() { return QStringLiteral("quorl.desktop"); }
QString DesktopEntryPath() { return dataHome() + "/applications/" + DesktopId(); }
QString MimeAppsPath() { return configHome() + "/mimeapps.list"; }
QString MimeType(const QString& className) { return "text/x-" + className; }
QString MimePackagePath(const QString& className) { return dataHome() + "/mime/packages/quorl-" + className + ".xml"; }
QString IconPath(const QString& className, int size) { return hicolor("mimetypes", iconName(className), size); }

QString ExecLine() { return DesktopEntry::QuoteExecArgument(DesktopEntry::Program()) + " %f"; }

bool RegisterFileType(const QString& ext, const QString& className, const QString& description,
                      const QString& icon, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // The type itself: its name, its glob and its icon.
    if (QString e = DesktopEntry::WriteFile(MimePackagePath(className), packageXml(ext, className, description).toUtf8());
        !e.isEmpty())
        return fail(e);
    for (int size : kSizes) {
        if (QString e = copyIcon(sourceIcon(icon, size), IconPath(className, size)); !e.isEmpty())
            return fail(e);
        if (QString e = copyIcon(sourceIcon("quorl", size), hicolor("apps", "quorl", size)); !e.isEmpty())
            return fail(e);
    }
    // The program's entry: this executable, and the types it opens (the other type kept).
    auto entry = DesktopEntry::KeyFile::read(DesktopEntryPath());
    QList<QString> types = DesktopEntry::ListValue(entry.value("Desktop Entry", "MimeType"));
    if (!types.contains(MimeType(className)))
        types << MimeType(className);
    const char* group = "Desktop Entry";
    entry.setValue(group, "Type", "Application");
    entry.setValue(group, "Name", "quorl ascii shop");
    entry.setValue(group, "Comment", "Draw text art and scroll it into the chat room");
    entry.setValue(group, "Exec", ExecLine());
    entry.setValue(group, "Icon", "quorl");
    entry.setValue(group, "Terminal", "false");
    entry.setValue(group, "Categories", "Utility;TextEditor;");
    entry.setValue(group, "MimeType", types.join(';') + ";");
    if (QString e = entry.write(DesktopEntryPath()); !e.isEmpty())
        return fail(e);
    // The shop opens the type by default.
    auto apps = DesktopEntry::KeyFile::read(MimeAppsPath());
    apps.setValue("Default Applications", MimeType(className), DesktopId() + ";");
    if (QString e = apps.write(MimeAppsPath()); !e.isEmpty())
        return fail(e);
    DesktopTools::Run("update-mime-database", {dataHome() + "/mime"});
    DesktopTools::Run("update-desktop-database", {dataHome() + "/applications"});
    return true;
}

QString InstallGlyAssociation() { return install(".gly", "glyfile", "Quorl Ascii File", "gly"); }

QString InstallMacroAssociation() { return install(".mcr", "glymcrfile", "Quorl Ascii Macro File", "mcr"); }

void InstallAssociations()
{
    QString error = InstallGlyAssociation();
    const QString macro = InstallMacroAssociation();
    if (error.isEmpty())
        error = macro;
    if (error.isEmpty())
        return;
    Prompts::messageBox("The file types .gly and .mcr could not be registered with the desktop:\n" + error +
                            "\n\nThe shop works as before; it tries again at the next start.",
                        "Quorl Ascii Shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

} // namespace iconinstall
