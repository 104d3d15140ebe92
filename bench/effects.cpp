// Speed of the text effects: a 20-rule filter over a macro of 1 MB, its growth from 256 KB to
// 4 MB, the same rules through sed on the same text, and a three-colour fade of 1 MB.
#include "budget.h"
#include "effects/fadekit.h"
#include "effects/filters32.h"
#include "platform/codepage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>

#include <sys/resource.h>
#include <cstdio>
#include <functional>

namespace {

// Twenty rules of the kinds filters hold: shading swaps, words, markup, runs of blanks.
const QStringList kRules = {
    "@!>#",   "#!>%",     ":!>.",      "..!>.",  "abc!>xyz", "the!>teh", "|!>!",      "/\\!>^",  "(!>[",  ")!>]",
    "o!>0",   "e!>3",     "---!>-=-",  "  !> ",  "<b>!>",    "</b>!>",   "x!>ks",     "qu!>kw",  "ing!>in'", "zz!>z",
};

// A macro of about the given size: lines of art and words, CR LF ended.
QString makeMacro(qsizetype bytes)
{
    static const char* const pieces[] = {"@@##", "::..", "  ", "the ", "quick ", "<b>", "</b>", "|/\\|", "(", ")",
                                         "---", "ABC", "Xing ", "zz", "..", "o0o", "ee", "#", "Queen ", "~*~"};
    QString out;
    out.reserve(bytes + 128);
    unsigned seed = 12345;
    while (out.size() < bytes) {
        QString line;
        while (line.size() < 64) {
            seed = seed * 1103515245u + 12345u;
            line += QLatin1String(pieces[(seed >> 16) % 20]);
        }
        out += line + "\r\n";
    }
    out.truncate(bytes);
    return out;
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The best of some runs: wall time, and the CPU time of this thread, which on a shared machine
// leaves out the time spent waiting for a core.
struct Timing {
    double wall = 1e18, cpu = 1e18;
};
Timing bestOf(int runs, const std::function<void()>& work)
{
    Timing best;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c0 = threadCpuMs();
        work();
        best.cpu = std::min(best.cpu, threadCpuMs() - c0);
        best.wall = std::min(best.wall, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// A backslash before every character of s that sed reads as special there.
QString sedEscape(const QString& s, const QString& special)
{
    QString out;
    for (QChar c : s) {
        if (special.contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString filterPath = dir.filePath("bench.FLT");
    {
        QFile f(filterPath);
        if (!f.open(QIODevice::WriteOnly))
            return 2;
        f.write("Bench: twenty rules\r\n" + CodePage::fromUnicode(kRules.join("\r\n")) + "\r\n");
    }
    int failures = 0;

    // The filter over 1 MB.
    const QString macro = makeMacro(1 << 20);
    QString filtered;
    const Timing filter = bestOf(7, [&] {
        filtered = macro;
        Filters32::ApplyFilterFile(filterPath, filtered);
    });
    std::printf("filter of %lld rules over 1 MB: %.1f ms CPU, %.1f ms wall (budget 50 ms)\n",
                (long long)kRules.size(), filter.cpu, filter.wall);
    failures += !ReportBudget("filter of 20 rules over 1 MB (CPU)", (QByteArray::number(filter.cpu, 'f', 1) + " ms").constData(),
                              "<= 50 ms", filter.cpu <= 50);

    // Growth with the size of the text.
    std::printf("growth (time per size, and per KB):\n");
    double first = 0, last = 0;
    for (qsizetype kb = 256; kb <= 4096; kb *= 2) {
        const QString text = makeMacro(kb * 1024);
        const double ms = bestOf(5, [&] {
            QString t = text;
            Filters32::ApplyFilterFile(filterPath, t);
        }).cpu;
        std::printf("  %5lld KB: %7.1f ms  %.4f ms/KB\n", (long long)kb, ms, ms / double(kb));
        if (kb == 256)
            first = ms / double(kb);
        last = ms / double(kb);
    }
    const double growth = last / first;
    std::printf("time per KB at 4 MB against 256 KB: %.2f (linear: about 1)\n", growth);
    failures += !ReportBudget("filter time per KB, 4 MB against 256 KB", QByteArray::number(growth, 'f', 2).constData(),
                              "linear (<= 2)", growth <= 2.0);

    // The same rules through sed, on the same text, in the same run.
    const QString sed = QStandardPaths::findExecutable("sed");
    if (sed.isEmpty()) {
        std::printf("sed not found: comparison skipped\n");
    } else {
        QString script;
        for (const QString& rule : kRules) {
            const qsizetype m = rule.indexOf("!>");
            script += "s/" + sedEscape(rule.left(m), "\\/.[]*^$") + "/" + sedEscape(rule.mid(m + 2), "\\/&") + "/gI\n";
        }
        QFile s(dir.filePath("rules.sed")), in(dir.filePath("macro.txt"));
        if (!s.open(QIODevice::WriteOnly) || !in.open(QIODevice::WriteOnly))
            return 2;
        s.write(script.toLatin1());
        in.write(CodePage::fromUnicode(macro));
        s.close();
        in.close();
        QByteArray sedOut;
        double sedMs = 1e18;
        const Timing sedWall = bestOf(7, [&] {
            rusage before{}, after{};
            getrusage(RUSAGE_CHILDREN, &before);
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LC_ALL", "C");
            p.setProcessEnvironment(env);
            p.start(sed, {"-f", s.fileName(), in.fileName()});
            p.waitForFinished(-1);
            sedOut = p.readAllStandardOutput();
            getrusage(RUSAGE_CHILDREN, &after);
            auto ms = [](const rusage& u) {
                return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
            };
            sedMs = std::min(sedMs, ms(after) - ms(before));
        });
        const bool same = sedOut == CodePage::fromUnicode(filtered);
        std::printf("sed with the same rules over 1 MB: %.1f ms CPU, %.1f ms wall; ours / sed = %.2f (CPU), "
                    "%.2f (wall); results %s\n",
                    sedMs, sedWall.wall, filter.cpu / sedMs, filter.wall / sedWall.wall, same ? "identical" : "DIFFER");
        failures += !ReportBudget("filter against sed, same rules and text (CPU)",
                                  (QByteArray::number(filter.cpu / sedMs, 'f', 2) + (same ? "" : ", results differ")).constData(),
                                  "<= 1, same result", filter.cpu <= sedMs && same);
    }

    // A three-colour fade of 1 MB.
    QString faded;
    const Timing fade =
        bestOf(7, [&] { faded = FadeKit::FadeThreeColors(255, 0, 0, 0, 255, 0, 0, 0, 255, macro, false); });
    std::printf("three-colour fade of 1 MB: %.1f ms CPU, %.1f ms wall (budget 100 ms), %lld characters out\n",
                fade.cpu, fade.wall, (long long)faded.size());
    failures += !ReportBudget("three-colour fade of 1 MB (CPU)", (QByteArray::number(fade.cpu, 'f', 1) + " ms").constData(),
                              "<= 100 ms", fade.cpu <= 100);

    std::printf("%s\n", failures ? "OVER BUDGET" : "within budget");
    return failures ? 1 : 0;
}
