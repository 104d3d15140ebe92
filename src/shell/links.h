#pragma once
#include <QString>

class QWidget;

// The link files: tiny .gly files whose opening starts the program without loading art. On this
// desktop they live under $XDG_DATA_HOME/quorl/; the start-up link is started by an autostart
// entry under $XDG_CONFIG_HOME/autostart.
namespace Links {

QString StartMenuLink();
QString QuickLaunchLink();
QString StartupLink();
QString AutostartEntry();

// Writes "link" to the start-up link file and the autostart entry that opens it; "" when both
// were written, else what went wrong.
QString WriteStartupLink();
// Deletes both when present; "" when neither is left, else what could not be removed.
QString DeleteStartupLink();
// The Options menu's "&load on startup": switches the start-up link on or off as the tick says,
// and tells the user when the desktop's folders would not take it.
void LoadOnStartup_Click(QWidget* tick);
// Writes an empty link file (just CR LF), making its folder; failures are ignored.
void WriteLinkFile(const QString& path);

} // namespace Links
