#pragma once
#include <QString>
#include <QtGlobal>

// Keeps a sender under a server's flood rule: a burst of lines at once, then one line per
// interval (a token bucket). Time is milliseconds of a monotonic clock the caller passes in, so
// tests drive it with a clock of their own.
class IrcPacer {
public:
    // interval 0: no pacing at all (a private server).
    explicit IrcPacer(qint64 intervalMs = 2000, int burst = 5);

    // "off", "SECONDS" or "SECONDS/BURST" (e.g. "2/5", "0.5"); false with a reason when it makes
    // no sense.
    static bool parse(const QString& text, IrcPacer* pacer, QString* error);

    bool off() const { return interval_ == 0; }
    qint64 intervalMs() const { return interval_; }
    int burst() const { return burst_; }

    // Takes the right to send one line now; false when the line must wait.
    bool take(qint64 now);
    // How long until the next line may go (0: now).
    qint64 waitMs(qint64 now) const;
    // When the last of `queued` lines would go if they were sent as fast as allowed from now.
    qint64 finishAt(qint64 now, int queued) const;
    // A new connection starts with the full burst.
    void reset();

private:
    // The time the bucket would be full again; a line may go while it is at most
    // (burst - 1) intervals ahead of now.
    qint64 interval_;
    int burst_;
    qint64 full_ = 0;
    bool started_ = false;
};
