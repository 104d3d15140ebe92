// The shop with the main window, the macro shop and both character maps open: resident memory
// (budget 60 MB) and the CPU an idle ten seconds cost (budget 0.2 % of one core).
#include "budget.h"
#include "support/helpers.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "editor/frmmain.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroshop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kIdleMs = 10000;

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Resident memory in MB as the kernel counts it.
double residentMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    TestHelpers::makeProgramFolder(home.path() + "/shop");
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/macros"), home.path() + "/shop/macros");
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", "bench");
    CommonKit::SetSetting("X", "3000");
    CommonKit::SetSetting("Y", "2000");
    CommonKit::SetSetting("LOADED", "5");
    Startup::Launch();
    frmmain& main = Forms::get<frmmain>();
    while (main.Timer8->isActive() || !main.isVisible())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    MacroShop::Show();
    MacroShop::LoadBuiltin("&dragon");
    Forms::get<frmchr>().show();
    settle(500);
    const bool shown = main.isVisible() && Forms::get<frmdraw>().isVisible() && Forms::get<frmasc>().isVisible()
                       && Forms::get<frmchr>().isVisible();
    if (!shown) {
        std::fprintf(stderr, "the main window, the macro shop and both character maps did not all show\n");
        return 1;
    }
    const double rss = residentMb();
    const double cpu0 = TestHelpers::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    settle(kIdleMs);
    const double percent = (TestHelpers::cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9) * 100;
    std::printf("resident memory with the macro shop and both maps open: %.1f MB (budget 60 MB)\n", rss);
    std::printf("idle CPU with the macro shop and both maps open: %.3f %% of one core over %d s (budget 0.2 %%)\n",
                percent, kIdleMs / 1000);
    char figure[32];
    std::snprintf(figure, sizeof figure, "%.1f MB", rss);
    const bool small = ReportBudget("resident memory, main window, macro shop and both maps", figure, "<= 60 MB", rss <= 60);
    std::snprintf(figure, sizeof figure, "%.3f %%", percent);
    const bool idle = ReportBudget("idle, with the macro shop and both maps open", figure, "<= 0.2 % of one core", percent <= 0.2);
    return small && idle ? 0 : 1;
}
