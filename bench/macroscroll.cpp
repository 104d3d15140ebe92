// A macro scrolled into the room at either pace with the real clock: every pause the scroll asks
// for, added up, against the time it really waited (budget: within 2 %), and the whole scroll's
// time beside it. Needs a session bus of its own: dbus-run-session -- build/bench/bench_macroscroll
#include "budget.h"
#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "core/commonkit.h"
#include "macroshop/scrolllines.h"
#include "platform/clock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kWithin = 0.02;

// The real clock, counting what each wait asked for and what it took.
class CountingClock : public Clock::SystemClock {
public:
    void wait(double seconds) override
    {
        QElapsedTimer t;
        t.start();
        SystemClock::wait(seconds);
        if (seconds > 0) {
            asked += seconds;
            waited += t.nsecsElapsed() / 1e9;
        }
    }
    double asked = 0;
    double waited = 0;
};

bool scroll(const char* pace, int lines, double blockPause, double linePause, qint16 perBlock,
            const ChatClientLauncher& client)
{
    QString macro;
    for (int i = 0; i < lines; ++i)
        macro += QStringLiteral(".:*~*:._.:*~*:. line %1 .:*~*:._.:*~*:.\r\n").arg(i + 1);
    const qsizetype before = client.transcript().size();
    CountingClock clock;
    Clock::install(&clock);
    QElapsedTimer wall;
    wall.start();
    CommonKit::ScrollLines(macro, blockPause, linePause, perBlock);
    const double total = wall.nsecsElapsed() / 1e9;
    Clock::install(nullptr);

    const qsizetype arrived = client.transcript().size() - before;
    const double off = clock.asked > 0 ? clock.waited / clock.asked - 1.0 : 0.0;
    std::printf("%s pace: %d lines, %lld arrived; pauses asked %.3f s, waited %.3f s (%+.2f %%); "
                "whole scroll %.3f s\n",
                pace, lines, qlonglong(arrived), clock.asked, clock.waited, off * 100.0, total);
    char what[96], figure[64];
    std::snprintf(what, sizeof what, "macro scroll at the %s pace, pauses waited", pace);
    std::snprintf(figure, sizeof figure, "%+.2f %% of %.2f s", off * 100.0, clock.asked);
    return ReportBudget(what, figure, "the pauses added up, within 2 %",
                        arrived == lines && std::fabs(off) <= kWithin);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    TestHelpers::makeProgramFolder(home.path() + "/shop");
    CommonKit::ResetSettings();

    ChatClientLauncher client;
    if (!client.start()) {
        std::fprintf(stderr, "bench_macroscroll: %s\n", qPrintable(client.error()));
        return 1;
    }
    // The macro shop's two paces: quick lines in blocks of 14, or slow lines in blocks of 4.
    const bool fast = scroll("quick", 400, 0.2, 0.02, 14, client);
    const bool slow = scroll("slow", 12, 3.4, 0.07, 4, client);
    return fast && slow ? 0 : 1;
}
