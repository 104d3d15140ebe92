// A message of 1 MB of art posted into the stand-in client's room: rendered, and laid out as
// the room shows it, within 1 s; the time per KB at 1 MB within twice that at 100 KB (linear).
// Needs a session bus: dbus-run-session -- build/bench/bench_room
#include "budget.h"
#include "support/chatclientlauncher.h"
#include "platform/chatbus.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.quorl.ChatClient");
const QString kPath = QStringLiteral("/org/quorl/ChatClient");
constexpr int kLongCallMs = 60000;

quint32 room = 0, input = 0;
int linesInRoom = 0;
uint clientPid = 0;
// Best seconds per size in KB (negative: the message on one line): the client's CPU time for the
// post alone, and for the post with the room laid out; and the wall time of the latter.
std::map<int, double> posted, laidOut, wall;
// The client's CPU time for all the runs of a size, and their count: the kernel counts CPU time
// in ticks of 10 ms, so the growth is taken from the sum of many runs, not from the best one.
std::map<int, double> laidOutTotal;
std::map<int, int> runs;

// The client's CPU time so far; on a shared machine its wall time also holds the waits for a core.
double clientCpu()
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(clientPid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

void keepBest(std::map<int, double>& best, int key, double value)
{
    best[key] = best.count(key) ? std::min(best[key], value) : value;
}

QDBusMessage call(const QString& method, const QVariantList& args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    m.setArguments(args);
    return ChatBus::Ask(m, kLongCallMs);
}

// Art as the shop sends it: shapes of '<' and '>', runs of blanks, bold, a fade's colour tags,
// lines of about 80 characters, CR LF between them.
QByteArray art(qsizetype bytes, bool oneLine)
{
    static const char* const pieces[] = {"(> <)", "<3 ", "a<b and <--> ok", "     ", "<b>/\\</b>", "|_|",
                                         "<Font Color=#FF0000>#<Font Color=#00FF00>#", " &amp; ", "~~", "<sup>^</sup>"};
    QByteArray out;
    out.reserve(bytes + 128);
    unsigned seed = 7;
    qsizetype lineStart = 0;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        out += pieces[(seed >> 16) % 10];
        if (!oneLine && out.size() - lineStart > 80) {
            out += "\r\n";
            lineStart = out.size();
        }
    }
    out.truncate(bytes);
    return out;
}

void BM_PostIntoRoom(benchmark::State& state)
{
    const int kb = int(state.range(0));
    const bool oneLine = state.range(1) != 0;
    const QByteArray message = art(qsizetype(kb) * 1024, oneLine);
    const int lines = int(message.count("\r\n")) + 1;
    const int key = oneLine ? -kb : kb;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const double cpu0 = clientCpu();
        call(QStringLiteral("SendMessageText"), {input, 0x000Cu, qulonglong(0), message});
        call(QStringLiteral("SendMessage"), {input, 0x0102u, qulonglong(13), qlonglong(0)});
        keepBest(posted, key, clientCpu() - cpu0);
        linesInRoom += lines;
        // Where the first character of the message's last line stands: the room lays out
        // everything before it, as its view would.
        const QDBusMessage reply = call(QStringLiteral("RoomLineX"), {room, linesInRoom - 1, 0, 1});
        const double seconds = t.nsecsElapsed() / 1e9;
        if (qdbus_cast<QList<double>>(reply.arguments().value(0)).isEmpty())
            state.SkipWithError("the room did not show the message");
        keepBest(laidOut, key, clientCpu() - cpu0);
        laidOutTotal[key] += clientCpu() - cpu0;
        ++runs[key];
        keepBest(wall, key, seconds);
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_PostIntoRoom)
    ->ArgsProduct({{100}, {0, 1}})
    ->ArgNames({"KB", "one_line"})
    ->Iterations(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostIntoRoom)
    ->ArgsProduct({{1024}, {0, 1}})
    ->ArgNames({"KB", "one_line"})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ChatClientLauncher launcher;
    if (!launcher.start()) {
        std::fprintf(stderr, "no chat client: %s\n", qPrintable(launcher.error()));
        return 1;
    }
    const quint32 frame = ChatBus::FindWindowA("Chat Frame25");
    room = ChatBus::FindWindowExA(ChatBus::FindWindowExA(frame, 0, "MDIClient"), 0, "Chat Child");
    input = ChatBus::FindWindowExA(room, ChatBus::FindWindowExA(room, 0, "RICHCNTL"), "RICHCNTL");
    if (!room || !input) {
        std::fprintf(stderr, "the client's room was not found\n");
        return 1;
    }
    clientPid = QDBusConnection::sessionBus().interface()->servicePid(kService);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (!laidOut.count(1024) || !laidOut.count(100) || !laidOut.count(-1024) || !laidOut.count(-100))
        return 1;
    for (const auto& [key, cpu] : laidOut)
        std::printf("%5d KB%s: client CPU %.0f ms posted, %.0f ms laid out; wall %.0f ms\n", std::abs(key),
                    key < 0 ? " on one line" : " of lines  ", posted[key] * 1000, cpu * 1000, wall[key] * 1000);
    char figure[64];
    bool ok = true;
    for (int key : {1024, -1024}) {
        std::snprintf(figure, sizeof figure, "%.0f ms CPU (%.0f ms wall)", laidOut[key] * 1000, wall[key] * 1000);
        ok = ReportBudget(key > 0 ? "a 1 MB message of art lines into the stand-in room, laid out"
                                  : "a 1 MB message on one line into the stand-in room, laid out",
                          figure, "<= 1 s", laidOut[key] <= 1.0)
             && ok;
        const int small = key > 0 ? 100 : -100;
        const double growth =
            (laidOutTotal[key] / runs[key] / 1024) / (laidOutTotal[small] / runs[small] / 100);
        std::snprintf(figure, sizeof figure, "%.2f", growth);
        ok = ReportBudget(key > 0 ? "room time per KB, 1 MB against 100 KB (lines)"
                                  : "room time per KB, 1 MB against 100 KB (one line)",
                          figure, "linear (<= 2)", growth <= 2.0)
             && ok;
    }
    return ok ? 0 : 1;
}
