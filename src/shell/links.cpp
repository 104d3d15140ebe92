#include "links.h"

#include "core/commonkit.h"
#include "core/savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Links {

namespace {
QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quorl";
}

// One argument of a desktop entry's Exec line: quoted, with \, ", ` and $ escaped inside the
// quotes; then, since the value is a string, every backslash doubled again and control
// characters written as escapes; and % written %% so no path reads as a field code.
QString quoted(const QString& arg)
{
    QString q = arg;
    for (const char* c : {"\\", "\"", "`", "$"})
        q.replace(c, QString("\\") + c);
    q = "\"" + q + "\"";
    QString value;
    for (const QChar c : q) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}
}

QString StartMenuLink() { return dataFolder() + "/start menu/GLYLink.gly"; }
QString QuickLaunchLink() { return dataFolder() + "/quick launch/GLYLink.gly"; }
QString StartupLink() { return dataFolder() + "/startup/glylink.gly"; }

QString AutostartEntry()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/quorl.desktop";
}

void WriteLinkFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    CommonKit::SaveString(QString(), path);
}

void WriteStartupLink()
{
    QDir().mkpath(QFileInfo(StartupLink()).absolutePath());
    CommonKit::SaveString("link", StartupLink());
    QDir().mkpath(QFileInfo(AutostartEntry()).absolutePath());
    const QString text = "[Desktop Entry]\nType=Application\nName=quorl ascii shop\nExec=" +
                         quoted(QCoreApplication::applicationFilePath()) + " " + quoted(StartupLink()) +
                         "\nX-GNOME-Autostart-enabled=true\n";
    SaveFile::Write(AutostartEntry(), text.toUtf8());
}

void DeleteStartupLink()
{
    if (CommonKit::FileExists(StartupLink()))
        QFile::remove(StartupLink());
    QFile::remove(AutostartEntry());
}

} // namespace Links
