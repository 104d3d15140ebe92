// The one place the real clock runs under test: a pause must wait its time while the window stays
// live and must sleep meanwhile, not spin (a spinning pause passes every fake-clock test).
#include "support/helpers.h"

#include "core/commonkit.h"
#include "platform/clock.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(RealClock, APauseWaitsItsTimeAsleepAndKeepsEventsFlowing)
{
    Clock::install(nullptr);
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);

    QElapsedTimer wall;
    wall.start();
    const double cpu0 = TestHelpers::cpuSeconds();
    CommonKit::Pause(0.5);
    const double cpu = TestHelpers::cpuSeconds() - cpu0;
    const double seconds = wall.nsecsElapsed() / 1e9;

    EXPECT_GE(seconds, 0.49);           // never returns early
    EXPECT_LT(cpu, 0.15 * seconds);     // a spinning wait burns the whole span
    EXPECT_GE(ticks, 3);                // timers ran during the pause
}

TEST(RealClock, AWaitAcrossTheDeadlineEndsOnceWithoutSpinning)
{
    Clock::install(nullptr);
    const double cpu0 = TestHelpers::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const double start = Clock::monotonic();
    Clock::wait(0.3);
    const double counted = Clock::monotonic() - start;
    EXPECT_GE(counted, 0.299);
    EXPECT_LT(TestHelpers::cpuSeconds() - cpu0, 0.1);
    // The clock counts real seconds: the thirty seconds the wait window is given are thirty.
    const double real = wall.nsecsElapsed() / 1e9;
    EXPECT_NEAR(counted, real, 0.02 + 0.05 * real);
}

} // namespace
