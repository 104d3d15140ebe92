#include "clock.h"

#include <QAbstractEventDispatcher>
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

bool Source::waitFor(double seconds, const std::function<bool()>& done)
{
    processEvents();
    if (done())
        return true;
    wait(seconds);
    return done();
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

bool SystemClock::waitFor(double seconds, const std::function<bool()>& done)
{
    if (done())
        return true;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!QCoreApplication::instance() || !dispatcher || seconds <= 0)
        return done();
    const double deadline = monotonic() + seconds;
    // The timer only wakes the dispatcher at the deadline; any other event (a socket's data)
    // wakes it earlier and the condition is looked at again.
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    for (double left = seconds; left > 0; left = deadline - monotonic()) {
        timer.start(std::max(1, int(left * 1000.0 + 0.5)));
        dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (done())
            return true;
    }
    return done();
}

namespace {
SystemClock systemClock;
Source* installed = nullptr;
}

void install(Source* source) { installed = source; }

Source& current() { return installed ? *installed : systemClock; }

} // namespace Clock
