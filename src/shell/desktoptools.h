#pragma once
#include <QString>
#include <QStringList>

// The desktop's cache tools (update-mime-database, update-desktop-database) run beside the shop,
// one at a time, so that a start never waits on them.
namespace DesktopTools {

// Queues a run; a tool already waiting with the same arguments is not queued twice, one that is
// running runs once more afterwards (the files changed since it started). A tool that is not
// installed is skipped: the files stay for the desktop's next rebuild.
void Run(const QString& tool, const QStringList& args);

// Waits until every queued tool has ended, at most ms; false when some are still running.
bool WaitForAll(int ms = 20000);

} // namespace DesktopTools
