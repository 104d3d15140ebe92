#include "chat/chatops.h"
#include "ircbridge.h"
#include "support/chatclientlauncher.h"
#include "support/ircpeers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

using IrcPeers::RoomView;
using IrcPeers::waitUntil;

// What a hostile IRC server can make the stand-in client hold: servers that never read, never
// welcome, say nothing or send lines past the protocol's length; and the room's own lines kept
// while the server is away.

namespace {

QStringList bridgeTo(quint16 port)
{
    return {QStringLiteral("--irc"), QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--channel"),
            QStringLiteral("#art"), QStringLiteral("--nick"), QStringLiteral("shop"), QStringLiteral("--irc-pace"),
            QStringLiteral("off")};
}

// What the client may hold at most. A sanitized build shadows all of its memory and keeps what
// is freed in quarantine (kept small for the client, below), so there the same flood shows larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kMostResident = 300LL * 1024 * 1024;
#else
constexpr qint64 kMostResident = 200LL * 1024 * 1024;
#endif

// The resident memory of a process, in bytes; 0 once it is gone.
qint64 residentBytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

IrcSettings settingsFor(quint16 port)
{
    IrcSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.channel = QStringLiteral("#art");
    settings.nick = QStringLiteral("shop");
    settings.pacer = IrcPacer(0, 1);
    return settings;
}

// A flood the client would keep answering for ever: it is dropped each time its unread answers
// reach the bound, the room says so and keeps the art's lines, and the client stays small.
// With soakMs the flood goes on that long in all, memory sampled throughout.
void floodIsBounded(const QString& mode, const QByteArray& lostOrNot, int soakMs = 0)
{
    QElapsedTimer since;
    since.start();
    IrcPeers::Hostile hostile;
    ASSERT_TRUE(hostile.start(mode)) << hostile.error().toStdString();
    // A sanitized client would otherwise hold up to 256 MB of freed memory for checking.
    const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
    qputenv("ASAN_OPTIONS", sanitizer + (sanitizer.isEmpty() ? "" : ":") + "quarantine_size_mb=8");
    ChatClientLauncher client(bridgeTo(hostile.port()));
    const bool started = client.start();
    qputenv("ASAN_OPTIONS", sanitizer);
    ASSERT_TRUE(started) << client.error().toStdString();
    for (int i = 1; i <= 3; ++i)
        ASSERT_NE(CommonKit::SendChatText(QStringLiteral("art line %1").arg(i)), 0u);

    const QByteArray dropped = lostOrNot + " 127.0.0.1:" + QByteArray::number(hostile.port())
                               + ": the server left 256 KB of what we sent unread, the most we keep for it, so it "
                                 "was dropped; 3 lines kept;";
    qint64 most = 0;
    RoomView room;
    // Three connections, each flooded until it was dropped, with the pauses between them.
    const bool thrice = waitUntil([&] {
        most = std::max(most, residentBytes(client.processId()));
        room = RoomView::read(client.dump(), "#art");
        return room.transcript.count(dropped) >= 3 || most > kMostResident;
    }, 60000);
    ASSERT_TRUE(thrice) << room.transcript.right(2000).toStdString();
    if (soakMs > 0)
        waitUntil([&] {
            most = std::max(most, residentBytes(client.processId()));
            return since.elapsed() >= soakMs || most > kMostResident;
        }, soakMs + 5000);
    EXPECT_LT(most, kMostResident) << "resident bytes";
    // Still serving the bus, and the lines wait for a server that takes them.
    EXPECT_TRUE(room.status.contains("3 lines queued")) << room.status.toStdString();
}

} // namespace

TEST(ircBounds, ServerThatWelcomesAndNeverReadsIsDroppedAndTheClientStaysSmall)
{
    floodIsBounded(QStringLiteral("deaf"), "Lost the connection to");
}

// The same for a whole minute: a server that keeps welcoming the client and never reads.
TEST(ircBounds, ServerThatNeverReadsForAMinuteLeavesTheClientSmall)
{
    floodIsBounded(QStringLiteral("deaf"), "Lost the connection to", 60000);
}

TEST(ircBounds, ServerThatNeverCompletesRegistrationIsDroppedAndTheClientStaysSmall)
{
    floodIsBounded(QStringLiteral("unwelcoming"), "Could not join via");
}

TEST(ircBounds, LongLinesAreCutAsTheProtocolDoesAndLinesThatAreNoIrcAreNotedOnce)
{
    IrcPeers::Hostile hostile;
    ASSERT_TRUE(hostile.start(QStringLiteral("longline"))) << hostile.error().toStdString();
    ChatClientLauncher client(bridgeTo(hostile.port()));
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    QList<QByteArray> said;
    ASSERT_TRUE(waitUntil([&] {
        said.clear();
        for (const ChatClientLauncher::Line& l : client.transcript())
            if (l.room == "#art")
                said.append(l.bytes);
        return said.contains("after");
    })) << client.dump().toStdString();

    // 512 bytes with the sender, the command and the CR LF; the line with tags past 8 KB is gone.
    const int fits = 510 - int(QByteArray(":evil!e@hostile PRIVMSG #art :").size());
    EXPECT_EQ(said, (QList<QByteArray>{"before", QByteArray(fits, 'L'), "between", QByteArray(fits, 'M'),
                                       QByteArray(fits, 'N'), "after"}));
    const RoomView room = RoomView::read(client.dump(), "#art");
    EXPECT_EQ(room.transcript.count("*** The server sent a line longer than the 512 bytes IRC allows; the rest of it "
                                    "was left out.\r\n"),
              1)
        << room.transcript.toStdString();
    EXPECT_EQ(room.transcript.count("no IRC"), 1) << room.transcript.toStdString();
    EXPECT_TRUE(room.transcript.contains("*** The server sent something that is no IRC, left out: \"HTTP/1.1 200 OK\".\r\n"))
        << room.transcript.toStdString();
    EXPECT_FALSE(room.transcript.contains("tags too long"));
    // Nothing of it was reason to hang up.
    EXPECT_EQ(room.status, "#art: connected to 127.0.0.1 as shop");
    EXPECT_EQ(room.people, (QList<QByteArray>{"evil", "shop"}));
}

TEST(ircBounds, ServerThatStopsReadingIsDroppedAtTheStallBoundAndTheLineIsKept)
{
    // It welcomes the bridge into the channel, then takes in nothing and answers nothing.
    QTcpServer deaf;
    ASSERT_TRUE(deaf.listen(QHostAddress::LocalHost, 0));
    int accepted = 0;
    QObject::connect(&deaf, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = deaf.nextPendingConnection();
        ++accepted;
        s->write(":irc.deaf 001 shop :Welcome\r\n:shop!u@deaf JOIN :#art\r\n");
    });
    IrcSettings settings = settingsFor(deaf.serverPort());
    settings.limits.stallMs = 1500;
    IrcBridge bridge(settings);
    QStringList notices;
    QElapsedTimer sinceJoin;
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) {
        notices << n;
        if (n.startsWith(QLatin1String("Joined")))
            sinceJoin.start();
    });
    bridge.start();
    ASSERT_TRUE(waitUntil([&] { return bridge.joined(); }));
    bridge.post("<b>kept</b> line");
    ASSERT_TRUE(waitUntil([&] { return notices.join(QLatin1Char('\n')).contains(QLatin1String("Lost")); }))
        << notices.join(QLatin1Char('\n')).toStdString();
    // Not before the bound, give or take the 5 % a coarse timer may fire early.
    EXPECT_GE(sinceJoin.elapsed(), 1500 * 90 / 100);
    EXPECT_EQ(notices.last(), QStringLiteral("Lost the connection to 127.0.0.1:%1: the server neither took nor answered "
                                             "what we sent for 1.5 s, so it was dropped; 1 line kept; connecting "
                                             "again in 1 s.")
                                  .arg(deaf.serverPort()));
    EXPECT_EQ(bridge.pending(), 1);
    // It comes back by itself, and meets the same bound.
    EXPECT_TRUE(waitUntil([&] { return accepted >= 2 && bridge.joined(); }));
}

TEST(ircBounds, ServerThatNeverWelcomesIsDroppedAtTheWelcomeBound)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    IrcSettings settings = settingsFor(silent.serverPort());
    settings.limits.welcomeMs = 1000;
    IrcBridge bridge(settings);
    QStringList notices;
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    bridge.start();
    bridge.post("waiting");
    ASSERT_TRUE(waitUntil([&] { return !notices.isEmpty(); }));
    EXPECT_EQ(notices.first(), QStringLiteral("Could not join via 127.0.0.1:%1: no welcome from the server within 1 s; "
                                              "is it an IRC server?; 1 line kept; connecting again in 1 s.")
                                   .arg(silent.serverPort()));
}

TEST(ircBounds, KeptLinesStopAtTheirBoundSaySoOnceAndCountWhatWasLeftOut)
{
    // Nobody listens: at the usual bound the rest of a long scroll is refused, in one sentence.
    QTcpServer gone;
    ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = gone.serverPort();
    gone.close();
    IrcBridge away(settingsFor(closedPort));
    QStringList notices;
    QObject::connect(&away, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    away.start();
    QByteArray scroll;
    for (int i = 0; i < 5003; ++i)
        scroll += "line " + QByteArray::number(i) + "\r\n";
    away.post(scroll);
    away.post("one more");
    EXPECT_EQ(away.pending(), 5000);
    EXPECT_EQ(notices, QStringList{QStringLiteral("5000 lines wait for #art already, the most kept; lines posted now "
                                                  "are dropped until some have gone.")});

    // With a server, the queue drains, and the first line it takes again says what was left out.
    IrcPeers::Server server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    IrcPeers::Reader reader;
    ASSERT_TRUE(reader.join(server.port(), "reader", "#art")) << reader.error().toStdString();
    IrcSettings settings = settingsFor(server.port());
    settings.limits.keptLines = 8;
    settings.pacer = IrcPacer(500, 5);
    IrcBridge bridge(settings);
    notices.clear();
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    bridge.start();
    ASSERT_TRUE(waitUntil([&] { return bridge.joined(); }));
    QByteArray eleven;
    for (int i = 1; i <= 11; ++i)
        eleven += "line " + QByteArray::number(i) + "\r\n";
    bridge.post(eleven);
    EXPECT_EQ(bridge.pending(), 8);
    ASSERT_TRUE(waitUntil([&] { return bridge.pending() == 0; }));
    bridge.post("line 12");
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 9; }));
    QList<QByteArray> expected;
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 12})
        expected.append("line " + QByteArray::number(i) + "\x0F");
    EXPECT_EQ(reader.messagesFrom("shop"), expected);
    EXPECT_EQ(notices.filter(QLatin1String("the most kept")).size(), 1);
    EXPECT_TRUE(notices.contains(QStringLiteral("3 lines posted while the queue was full were not sent.")))
        << notices.join(QLatin1Char('\n')).toStdString();
}

TEST(ircBounds, ChannelOfMoreMembersThanThePeopleListShowsSaysSoOnce)
{
    // A names list of 10,050 members, in lines of the length a server uses, then one more join.
    QTcpServer crowded;
    ASSERT_TRUE(crowded.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&crowded, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = crowded.nextPendingConnection();
        QByteArray names = ":irc.crowd 001 shop :Welcome\r\n:shop!u@crowd JOIN :#art\r\n";
        for (int n = 0; n < 10050;) {
            QByteArray line = ":irc.crowd 353 shop = #art :";
            for (int i = 0; i < 60 && n < 10050; ++i, ++n)
                line += "m" + QByteArray::number(10000 + n) + ' ';
            names += line + "\r\n";
        }
        names += ":irc.crowd 366 shop #art :End of NAMES list\r\n:late!u@crowd JOIN :#art\r\n";
        s->write(names);
    });
    IrcBridge bridge(settingsFor(crowded.serverPort()));
    QStringList notices;
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    QStringList shown;
    QObject::connect(&bridge, &IrcBridge::membersChanged, [&](const QStringList& names) { shown = names; });
    bridge.start();
    ASSERT_TRUE(waitUntil([&] { return shown.size() >= IrcMembers::kMostShown; }));
    EXPECT_EQ(shown.size(), 10000);
    EXPECT_EQ(shown.first(), QStringLiteral("m10000"));
    EXPECT_FALSE(shown.contains(QStringLiteral("late")));
    EXPECT_EQ(notices.filter(QLatin1String("more members")),
              QStringList{QStringLiteral("#art has more members than the 10000 the people list shows.")});
}
