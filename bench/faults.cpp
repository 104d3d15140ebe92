// The shop against what a broken machine hands it: a FIFO and /dev/zero on the command line, a
// 100 MB ascii file, a chat client whose room lookup goes round in a circle. Each must reach a
// ready main window within 2 s, the shop under 300 MB, and idle afterwards under 5 % of a core.
// Needs the stand-in chat client and a session bus: dbus-run-session -- build/bench/bench_faults
#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "platform/clock.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/stat.h>

namespace {

// Pauses return at once, processing events: only the shop's own work is measured.
class SkippingClock : public Clock::SystemClock {
public:
    void wait(double) override { processEvents(); }
};

// Message boxes answer at once; the bench counts them.
class QuietPrompts : public Prompts::Source {
public:
    int shown = 0;
    Prompts::Answer messageBox(const QString&, const QString&, Prompts::Buttons, Prompts::Icon) override
    {
        ++shown;
        return Prompts::Answer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};

// Peak resident memory of this process, in MB.
double peakMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double launch(const QString& commandLine)
{
    Forms::unloadAll();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    Startup::SetCommandLine(commandLine);
    Startup::Launch();
    frmmain& main = Forms::get<frmmain>();
    while ((main.Timer8->isActive() || !main.isVisible()) && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e9;
}

bool report(const char* what, double seconds, double limit)
{
    const bool ok = seconds <= limit;
    std::printf("%-52s %8.3f s  (budget %.1f s, peak %.0f MB) %s\n", what, seconds, limit, peakMb(), ok ? "" : "OVER");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    const QString shop = home.path() + "/shop";
    TestHelpers::makeProgramFolder(shop);
    SkippingClock clock;
    Clock::install(&clock);
    QuietPrompts prompts;
    Prompts::install(&prompts);
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", "bench");
    CommonKit::SetSetting("LOADED", "5");

    bool ok = true;
    const QString fifo = home.path() + "/FIFO.gly";
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    ok = report("quorl FIFO.gly: launch to ready main window", launch(fifo), 2) && ok;
    ok = report("quorl /dev/zero: launch to ready main window", launch("/dev/zero"), 2) && ok;

    const QString huge = home.path() + "/huge.gly";
    {
        QFile f(huge);
        f.open(QIODevice::WriteOnly);
        const QByteArray line(1024 * 1024 - 2, 'x');
        for (int i = 0; i < 100; ++i)
            f.write(line + "\r\n");
    }
    launch({});
    QElapsedTimer t;
    t.start();
    Forms::get<frmmain>().OpenRecent(huge);
    ok = report("open a 100 MB ascii file", t.nsecsElapsed() / 1e9, 2) && ok;

    {
        ChatClientLauncher client({"--room-behind", "--same-room"});
        if (!client.start()) {
            std::fprintf(stderr, "no chat client: %s\n", qPrintable(client.error()));
            return 1;
        }
        ok = report("launch with a room lookup that goes round", launch({}), 2) && ok;
        const double cpu = TestHelpers::cpuSeconds();
        QElapsedTimer idle;
        idle.start();
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        const double share = (TestHelpers::cpuSeconds() - cpu) / (idle.nsecsElapsed() / 1e9) * 100;
        std::printf("%-52s %8.2f %% of a core (budget 5 %%)\n", "afterwards, idle", share);
        ok = ok && share <= 5;
    }
    const double peak = peakMb();
    std::printf("%-52s %8.0f MB (budget 300 MB)\n", "peak resident memory", peak);
    return ok && peak <= 300 ? 0 : 1;
}
