// An idle shop: main window, indicator and options panel shown, nothing to do for ten seconds.
// Prints the process CPU time over that span as a percentage of one core (budget 0.2 %).
#include "budget.h"
#include "support/helpers.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "platform/progfolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kIdleMs = 10000;



// A second run with the options panel stored open and a page to show.
void launchShop(const QString& home)
{
    TestHelpers::makeProgramFolder(home + "/shop");
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", "bench");
    CommonKit::SetSetting("X", "3000");
    CommonKit::SetSetting("Y", "2000");
    CommonKit::SetSetting("LOADED", "5");
    CommonKit::SetSetting("OPTIONSWIN", "True");
    CommonKit::SaveString("idle art", home + "/shop/output/text1.gly");
    Startup::Launch();
    frmmain& main = Forms::get<frmmain>();
    while (main.Timer8->isActive() || !main.isVisible())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    // Let the start-up's last events settle before measuring.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
}

void BM_Idle(benchmark::State& state)
{
    double percent = 0;
    for (auto _ : state) {
        QElapsedTimer wall;
        const double cpu0 = TestHelpers::cpuSeconds();
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double seconds = wall.nsecsElapsed() / 1e9;
        percent = (TestHelpers::cpuSeconds() - cpu0) / seconds * 100;
        state.SetIterationTime(seconds);
    }
    state.counters["cpu_percent"] = percent;
    std::printf("idle CPU: %.3f %% of one core over %d s (budget 0.2 %%)\n", percent, kIdleMs / 1000);
    char figure[32];
    std::snprintf(figure, sizeof figure, "%.3f %%", percent);
    ReportBudget("idle, main window, indicator and options panel", figure, "<= 0.2 % of one core", percent <= 0.2);
}
BENCHMARK(BM_Idle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    launchShop(home.path());
    const bool shown = Forms::get<frmmain>().isVisible() && Forms::get<frmrect>().isVisible()
                       && Forms::get<frmrect>().optionsOpen();
    if (!shown) {
        std::fprintf(stderr, "the main window, indicator and options panel did not all show\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
