#include "progfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFolder {

namespace {
QString overridden;
}

QString path()
{
    QString p = overridden;
    if (p.isEmpty())
        p = qEnvironmentVariable("QUORL_HOME");
    if (p.isEmpty())
        p = QCoreApplication::applicationDirPath();
    p = QDir::cleanPath(QDir::fromNativeSeparators(p));
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    return p;
}

QString file(const QString& relative) { return path() + "/" + relative; }

void setOverride(const QString& folder) { overridden = folder; }

} // namespace ProgramFolder
