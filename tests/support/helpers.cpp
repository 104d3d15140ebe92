#include "helpers.h"

#include "platform/progfolder.h"
#include "skin/dirlist.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <sys/resource.h>

namespace TestHelpers {

void isolate(const QString& home)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = home + "/" + var;
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(var, dir.toLocal8Bit());
    }
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir src(from);
    for (const QString& f : src.entryList(QDir::Files))
        QFile::copy(src.filePath(f), to + "/" + f);
    for (const QString& d : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyTree(src.filePath(d), to + "/" + d);
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void makeProgramFolder(const QString& folder)
{
    copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/default"), folder + "/skins/default");
    for (const char* d : {"output", "ascii", "macros", "Filters"})
        QDir(folder).mkpath(d);
    ProgramFolder::setOverride(folder);
}

bool eventually(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int rowOf(const DirList* list, const QString& folder)
{
    for (int row = 0; row < list->count(); ++row)
        if (list->folderAt(row) == QDir::cleanPath(folder))
            return row;
    return -1;
}

void doubleClickFolder(DirList* list, const QString& folder)
{
    const int row = rowOf(list, folder);
    ASSERT_GE(row, 0) << folder.toStdString();
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QWidget* w = list->viewport();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

} // namespace TestHelpers
