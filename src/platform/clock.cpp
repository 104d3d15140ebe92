#include "clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace Clock {

void Source::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double SystemClock::monotonic() const
{
    static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
    return timer.nsecsElapsed() / 1e9;
}

void SystemClock::wait(double seconds)
{
    if (seconds <= 0)
        return;
    if (!QCoreApplication::instance())
        return;
    // A monotonic deadline: a wait that spans midnight still ends on time.
    const double deadline = monotonic() + seconds;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    for (double left = seconds; left > 0; left = deadline - monotonic()) {
        timer.start(std::max(1, int(left * 1000.0 + 0.5)));
        loop.exec();
    }
}

namespace {
SystemClock systemClock;
Source* installed = nullptr;
}

void install(Source* source) { installed = source; }

Source& current() { return installed ? *installed : systemClock; }

} // namespace Clock
