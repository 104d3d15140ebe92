// A string file of a million lines to a ready main window, and the cost per line from 100,000
// to 1,000,000 lines (the launch without strings taken off), the fixed pauses not counted.
#include "budget.h"
#include "support/helpers.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/stringorder.h"
#include "platform/clock.h"
#include "platform/codepage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include <ctime>

namespace {

// Pauses return at once, processing events.
class SkippingClock : public Clock::SystemClock {
public:
    void wait(double) override { processEvents(); }
};

// Lines of art as users keep them: 8 to 34 characters of the character set, some repeated.
QByteArray stringFile(int lines)
{
    const QStringList& set = StringOrder::CharacterSet();
    std::mt19937 rng(20);
    QString text;
    text.reserve(qsizetype(lines) * 24);
    QString previous;
    for (int i = 0; i < lines; ++i) {
        QString line;
        if (i > 0 && rng() % 16 == 0) {
            line = previous;
        } else {
            const int length = 8 + int(rng() % 27);
            while (line.size() < length)
                line += set[rng() % set.size()];
        }
        text += line + "\r\n";
        previous = line;
    }
    return CodePage::fromUnicode(text);
}

// A line of /proc/self/status in MB ("VmRSS:", "VmHWM:").
double statusMb(const char* key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Starts the peak resident memory afresh from what is resident now.
void resetPeak()
{
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The best of some launches: wall time, and the CPU time of the process, which on a shared
// machine leaves out the time spent waiting for a core.
struct Timing {
    double wall = 1e18, cpu = 1e18;
};

Timing launchMs(const QString& stringPath, const QByteArray& content, int runs, qsizetype* listed)
{
    QFile f(stringPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        std::abort();
    f.close();
    Timing best;
    for (int i = 0; i < runs; ++i) {
        Forms::unloadAll();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        const double cpu0 = processCpuMs();
        Startup::Launch();
        frmmain& main = Forms::get<frmmain>();
        while (main.Timer8->isActive() || !main.isVisible())
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        QApplication::processEvents();
        best.wall = std::min(best.wall, t.nsecsElapsed() / 1e6);
        best.cpu = std::min(best.cpu, processCpuMs() - cpu0);
        *listed = main.List1->count();
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    TestHelpers::makeProgramFolder(home.path() + "/shop");
    SkippingClock clock;
    Clock::install(&clock);

    // A second run with a place stored, so start-up loads the strings.
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", "bench");
    CommonKit::SetSetting("X", "3000");
    CommonKit::SetSetting("Y", "2000");
    CommonKit::SetSetting("LOADED", "1");
    const QString path = home.path() + "/shop/ascii/asc.asc";

    qsizetype listed = 0;
    const Timing empty = launchMs(path, "\r\n", 5, &listed);
    const QByteArray small = stringFile(100000), large = stringFile(1000000);
    const Timing at100k = launchMs(path, small, 5, &listed);
    const qsizetype listed100k = listed;
    Forms::unloadAll();
    QApplication::processEvents();
    const double before1m = statusMb("VmRSS:");
    resetPeak();
    const Timing at1m = launchMs(path, large, 3, &listed);
    const double peak1m = statusMb("VmHWM:");
    const double perLineSmall = (at100k.cpu - empty.cpu) / 100000, perLineLarge = (at1m.cpu - empty.cpu) / 1000000;
    const double growth = perLineLarge / perLineSmall;

    std::printf("launch without strings: %.1f ms CPU, %.1f ms wall\n", empty.cpu, empty.wall);
    std::printf("100,000 lines (%.1f MB): %.1f ms CPU, %.1f ms wall, %lld entries, %.2f us CPU a line\n",
                small.size() / 1048576.0, at100k.cpu, at100k.wall, (long long)listed100k, perLineSmall * 1000);
    std::printf("1,000,000 lines (%.1f MB): %.1f ms CPU, %.1f ms wall, %lld entries, %.2f us CPU a line\n",
                large.size() / 1048576.0, at1m.cpu, at1m.wall, (long long)listed, perLineLarge * 1000);
    std::printf("resident before the 1,000,000-line launches: %.0f MB, peak during them: %.0f MB\n", before1m, peak1m);
    const bool complete = listed == 1000000 + 215 && listed100k == 100000 + 215;
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.0f ms%s", at1m.cpu, complete ? "" : ", entries missing");
    int failures = !ReportBudget("string file of 1,000,000 lines to a ready main window (CPU)", figure,
                                 "<= 2000 ms, every line", at1m.cpu <= 2000 && complete);
    std::snprintf(figure, sizeof figure, "%.2f", growth);
    failures += !ReportBudget("string list time per line, 1,000,000 against 100,000 (CPU)", figure, "linear (<= 2)",
                              growth <= 2.0);
    std::snprintf(figure, sizeof figure, "%.0f MB", peak1m - before1m);
    failures += !ReportBudget("string list of 1,000,000 lines, peak memory beyond the process before", figure,
                              "<= 200 MB", peak1m > 0 && peak1m - before1m <= 200);
    Forms::unloadAll();
    return failures ? 1 : 0;
}
