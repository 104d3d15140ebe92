#include "links.h"

#include "core/commonkit.h"
#include "platform/prompts.h"
#include "shell/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <QStandardPaths>

namespace Links {

namespace {
QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quorl";
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

QString WriteStartupLink()
{
    if (!QDir().mkpath(QFileInfo(StartupLink()).absolutePath()))
        return QFileInfo(StartupLink()).absolutePath() + ": the folder cannot be made";
    QString error;
    if (!CommonKit::SaveString("link", StartupLink(), &error))
        return StartupLink() + ": " + error;
    DesktopEntry::KeyFile entry;
    const char* group = "Desktop Entry";
    entry.setValue(group, "Type", "Application");
    entry.setValue(group, "Name", "quorl ascii shop");
    entry.setValue(group, "Exec", DesktopEntry::QuoteExecArgument(DesktopEntry::Program()) + " " +
                                      DesktopEntry::QuoteExecArgument(StartupLink()));
    entry.setValue(group, "Icon", "quorl");
    entry.setValue(group, "X-GNOME-Autostart-enabled", "true");
    return entry.write(AutostartEntry());
}

QString DeleteStartupLink()
{
    if (CommonKit::FileExists(StartupLink()))
        QFile::remove(StartupLink());
    QFile::remove(AutostartEntry());
    for (const QString& path : {StartupLink(), AutostartEntry()})
        if (QFileInfo::exists(path))
            return path + ": it cannot be removed";
    return {};
}

void LoadOnStartup_Click(QWidget* tick)
{
    const QString title = "Quorl Ascii Shop";
    if (!tick->isHidden()) {
        CommonKit::SetSetting("LOADONSTARTUP", "false");
        tick->hide();
        if (const QString error = DeleteStartupLink(); !error.isEmpty())
            Prompts::messageBox("The shop could not stop loading on startup:\n" + error, title, Prompts::Buttons::Ok,
                                Prompts::Icon::Exclamation);
        return;
    }
    if (const QString error = WriteStartupLink(); !error.isEmpty()) {
        // Half an entry would start the shop without the setting knowing: take both away again.
        DeleteStartupLink();
        Prompts::messageBox("The shop could not be set to load on startup:\n" + error, title, Prompts::Buttons::Ok,
                            Prompts::Icon::Exclamation);
        return;
    }
    tick->show();
    CommonKit::SetSetting("LOADONSTARTUP", "true");
}

} // namespace Links
