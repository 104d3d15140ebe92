#pragma once
#include <QString>

// The link files: tiny .gly files whose opening starts the program without loading art. On this
// desktop they live under $XDG_DATA_HOME/quorl/; the start-up link is started by an autostart
// entry under $XDG_CONFIG_HOME/autostart.
namespace Links {

QString StartMenuLink();
QString QuickLaunchLink();
QString StartupLink();
QString AutostartEntry();

// Writes "link" to the start-up link file and the autostart entry that opens it.
void WriteStartupLink();
// Deletes both when present.
void DeleteStartupLink();
// Writes an empty link file (just CR LF), making its folder; failures are ignored.
void WriteLinkFile(const QString& path);

} // namespace Links
