#pragma once
#include <QTime>

#include <functional>

// The clock the shop waits on. Pauses between chat messages keep the user interface live by
// waiting for events with a deadline; tests install a fake clock so no test sleeps.
namespace Clock {

class Source {
public:
    virtual ~Source() = default;
    // Seconds since midnight, with fraction.
    virtual double secondsSinceMidnight() const = 0;
    // Monotonic seconds since an arbitrary start; never jumps back at midnight.
    virtual double monotonic() const = 0;
    // Waits the given seconds while window events keep being processed.
    virtual void wait(double seconds) = 0;
    // Processes pending window events once, without waiting.
    virtual void processEvents();
    // Waits at most the given seconds while window events keep being processed, and ends as soon
    // as done() holds after an event; returns done(). A fake clock advances at once.
    virtual bool waitFor(double seconds, const std::function<bool()>& done);
};

// The real clock: wall time for the time of day, a monotonic timer and a nested event loop
// with a precise single-shot timer for waits.
class SystemClock : public Source {
public:
    double secondsSinceMidnight() const override;
    double monotonic() const override;
    void wait(double seconds) override;
    // Sleeps in the event dispatcher until an event or the deadline comes: no spinning.
    bool waitFor(double seconds, const std::function<bool()>& done) override;
};

// Installs the clock every later call uses; the caller keeps ownership. nullptr restores the
// system clock.
void install(Source* source);
Source& current();

inline double secondsSinceMidnight() { return current().secondsSinceMidnight(); }
inline double monotonic() { return current().monotonic(); }
inline void wait(double seconds) { current().wait(seconds); }
inline void processEvents() { current().processEvents(); }
inline bool waitFor(double seconds, const std::function<bool()>& done) { return current().waitFor(seconds, done); }

} // namespace Clock
