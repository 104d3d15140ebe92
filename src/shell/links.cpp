#include "links.h"

#include "core/commonkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace Links {

namespace {
QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quorl";
}

// Desktop entry Exec quoting: arguments in double quotes with \, ", ` and $ escaped.
QString quoted(const QString& arg)
{
    QString q = arg;
    for (const char* c : {"\\", "\"", "`", "$"})
        q.replace(c, QString("\\") + c);
    return "\"" + q + "\"";
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
    QSaveFile entry(AutostartEntry());
    if (!entry.open(QIODevice::WriteOnly))
        return;
    const QString text = "[Desktop Entry]\nType=Application\nName=quorl ascii shop\nExec=" +
                         quoted(QCoreApplication::applicationFilePath()) + " " + quoted(StartupLink()) +
                         "\nX-GNOME-Autostart-enabled=true\n";
    entry.write(text.toUtf8());
    entry.commit();
}

void DeleteStartupLink()
{
    if (CommonKit::FileExists(StartupLink()))
        QFile::remove(StartupLink());
    QFile::remove(AutostartEntry());
}

} // namespace Links
