#include "ircpacer.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

IrcPacer::IrcPacer(qint64 intervalMs, int burst)
    : interval_(std::max<qint64>(0, intervalMs))
    , burst_(std::max(1, burst))
{
}

bool IrcPacer::parse(const QString& text, IrcPacer* pacer, QString* error)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("off")) {
        *pacer = IrcPacer(0, 1);
        return true;
    }
    const QStringList parts = t.split(QLatin1Char('/'));
    bool okSeconds = false;
    bool okBurst = true;
    const double seconds = parts.value(0).toDouble(&okSeconds);
    const int burst = parts.size() > 1 ? parts[1].toInt(&okBurst) : 5;
    if (parts.size() > 2 || !okSeconds || !okBurst || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600
        || burst < 1 || burst > 1000) {
        *error = QStringLiteral("pace \"%1\" is not \"off\", SECONDS or SECONDS/BURST (such as 2/5)").arg(text);
        return false;
    }
    *pacer = IrcPacer(qint64(std::llround(seconds * 1000)), burst);
    return true;
}

void IrcPacer::reset()
{
    started_ = false;
}

qint64 IrcPacer::waitMs(qint64 now) const
{
    if (off() || !started_)
        return 0;
    return std::max<qint64>(0, full_ - (burst_ - 1) * interval_ - now);
}

bool IrcPacer::take(qint64 now)
{
    if (off())
        return true;
    if (!started_) {
        full_ = now;
        started_ = true;
    }
    if (waitMs(now) > 0)
        return false;
    full_ = std::max(full_, now) + interval_;
    return true;
}

qint64 IrcPacer::finishAt(qint64 now, int queued) const
{
    if (off() || queued <= 0)
        return now;
    const qint64 full = started_ ? std::max(full_, now) : now;
    // Line k (from 0) may go when the bucket is (burst - 1) intervals ahead.
    const qint64 last = full + qint64(queued - 1) * interval_ - qint64(burst_ - 1) * interval_;
    return std::max(now, last);
}
