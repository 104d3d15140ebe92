// Scrolling the art pages with the real clock: the gap between two pages as the chat client
// receives them, and what the shop's own process spends meanwhile; then the same to a client that
// answers every call 150 ms late.
// Needs a session bus of its own: dbus-run-session -- build/bench/bench_scroll
#include "budget.h"
#include "support/helpers.h"
#include "chat/chatcommands.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/pageedit.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "support/chatclientlauncher.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kRunSeconds = 10.0;
constexpr double kGapTarget = 0.4;
constexpr double kGapTolerance = 0.010;
constexpr double kCpuBudget = 2.0; // percent of one core
constexpr double kMeanTolerance = 0.003;
// A client answering each call this late, and the longest gap between its pages.
constexpr const char* kSlowDelayMs = "150";
constexpr double kSlowGapBound = 0.9;
constexpr int kSlowScrolls = 2;

std::vector<double> gapsOf(const QList<ChatClientLauncher::Line>& lines)
{
    std::vector<double> gaps;
    for (qsizetype i = 1; i < lines.size(); ++i)
        gaps.push_back(lines[i].time - lines[i - 1].time);
    return gaps;
}

// Nobody answers questions during a bench.
class SilentPrompts : public Prompts::Source {
public:
    Prompts::Answer messageBox(const QString&, const QString&, Prompts::Buttons, Prompts::Icon) override
    {
        return Prompts::Answer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};



} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);

    TestHelpers::makeProgramFolder(home.path() + "/shop");
    SilentPrompts prompts;
    Prompts::install(&prompts);
    CommonKit::ResetSettings();

    ChatClientLauncher client;
    if (!client.start()) {
        std::fprintf(stderr, "bench_scroll: %s\n", qPrintable(client.error()));
        return 1;
    }

    frmmain& main = Forms::get<frmmain>();
    main.Text1->setText(QString::fromUtf8("\u00b7\u00b4\u00af`\u00b7.\u00b8\u00b8.\u00b7\u00b4\u00af`\u00b7"));
    main.Text2->setText(QString::fromUtf8("\u2039\u203a\u00bb quorl ascii shop \u00ab\u2039\u203a"));
    main.Text3->setText(QStringLiteral("<b>bench</b> | scroll | pages"));
    main.Text4->setText(QString::fromUtf8("\u00b8.\u00b7\u00b4\u00af`\u00b7.\u00b8"));

    QElapsedTimer wall;
    const double cpuBefore = TestHelpers::cpuSeconds();
    wall.start();
    int scrolls = 0;
    while (wall.nsecsElapsed() / 1e9 < kRunSeconds) {
        ChatCommands::ScrollAllPages();
        ++scrolls;
    }
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpuPercent = 100.0 * (TestHelpers::cpuSeconds() - cpuBefore) / wallSeconds;

    const auto lines = client.transcript();
    const std::vector<double> gaps = gapsOf(lines);
    if (gaps.empty()) {
        std::fprintf(stderr, "bench_scroll: the chat client received %lld messages\n", qlonglong(lines.size()));
        return 1;
    }
    double sum = 0, worst = 0;
    for (double g : gaps) {
        sum += g;
        worst = std::max(worst, std::fabs(g - kGapTarget));
    }
    const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());

    std::printf("scrolls: %d of 4 pages in %.2f s, %lld messages at the chat client\n", scrolls, wallSeconds,
                qlonglong(lines.size()));
    std::printf("gap between pages: mean %.4f s, min %.4f s, max %.4f s, worst off 0.4 s by %.1f ms "
                "(target 0.4 s +- 10 ms): %s\n",
                sum / double(gaps.size()), *lo, *hi, worst * 1000.0, worst <= kGapTolerance ? "ok" : "MISSED");
    std::printf("shop CPU while scrolling: %.2f %% of one core (target < 2 %%): %s\n", cpuPercent,
                cpuPercent < kCpuBudget ? "ok" : "MISSED");
    char figure[64];
    std::snprintf(figure, sizeof figure, "worst %.1f ms off", worst * 1000.0);
    ReportBudget("gap between two scrolled pages", figure, "0.4 s +- 10 ms", worst <= kGapTolerance);
    std::snprintf(figure, sizeof figure, "%.2f %%", cpuPercent);
    ReportBudget("CPU while scrolling", figure, "<= 2 % of one core", cpuPercent <= kCpuBudget);
    const double mean = sum / double(gaps.size());
    std::snprintf(figure, sizeof figure, "mean %.4f s", mean);
    ReportBudget("mean gap between pages, prompt client", figure, "0.4 s +- 3 ms",
                 std::fabs(mean - kGapTarget) <= kMeanTolerance);

    // The same pages to a client that answers every call 150 ms late: each page costs the calls
    // of one message, not a walk of its windows.
    client.stop();
    ChatClientLauncher slow({QStringLiteral("--delay"), QString::fromLatin1(kSlowDelayMs)});
    if (!slow.start()) {
        std::fprintf(stderr, "bench_scroll: %s\n", qPrintable(slow.error()));
        return 1;
    }
    for (int i = 0; i < kSlowScrolls; ++i)
        ChatCommands::ScrollAllPages();
    const std::vector<double> slowGaps = gapsOf(slow.transcript());
    const double slowWorst = slowGaps.empty() ? 1e9 : *std::max_element(slowGaps.begin(), slowGaps.end());
    std::printf("slow client (%s ms a call): %zu gaps, longest %.3f s\n", kSlowDelayMs, slowGaps.size(), slowWorst);
    std::snprintf(figure, sizeof figure, "longest %.3f s", slowWorst);
    ReportBudget("gap between pages, client answering 150 ms late", figure, "<= 0.9 s",
                 slowGaps.size() == size_t(4 * kSlowScrolls - 1) && slowWorst <= kSlowGapBound);
    Forms::unloadAll();
    return 0;
}
