#include "chat/chatops.h"
#include "ircbridge.h"
#include "chattext/irccolors.h"
#include "ircpacer.h"
#include "support/chatclientlauncher.h"
#include "support/ircpeers.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

using IrcPeers::waitUntil;

// The stand-in client bridged to ngircd, read by a plain IRC client in the channel.

namespace {

#define START_SERVER(server) ASSERT_TRUE((server).start()) << (server).error().toStdString()
#define JOIN(reader, port, nick) \
    ASSERT_TRUE((reader).join((port), (nick), "#art")) << (reader).error().toStdString()

// The stand-in client bridged to the server, started as a user starts it.
QStringList bridgeOptions(quint16 port, const QString& pace, const QString& nick = QStringLiteral("shop"))
{
    return {QStringLiteral("--irc"), QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--channel"),
            QStringLiteral("#art"), QStringLiteral("--nick"), nick, QStringLiteral("--irc-pace"), pace};
}

bool bridgeJoined(const IrcPeers::Reader& reader, const QByteArray& nick, int times = 1)
{
    return waitUntil([&] { return reader.joinsOf(nick) >= times; });
}

QByteArray scrollLine(int i)
{
    return "<font color=\"#FF0000\">line <b>" + QByteArray::number(100 + i) + "</b> <font color=\"#0000FF\">of the scroll";
}

// The number a scroll line carries, as a reader sees it.
int lineNumber(const QByteArray& text)
{
    const QString plain = IrcColors::stripCodes(QString::fromUtf8(text));
    return plain.section(QLatin1Char(' '), 1, 1).toInt() - 100;
}

// ngircd, a reader in #art and the stand-in client bridged to it as "shop".
struct Bridged {
    IrcPeers::Server server;
    IrcPeers::Reader reader;
    std::unique_ptr<ChatClientLauncher> client;

    // Empty when everything came up, else what did not.
    QString start(const QString& pace)
    {
        if (!server.start())
            return server.error();
        if (!reader.join(server.port(), "reader", "#art"))
            return reader.error();
        client = std::make_unique<ChatClientLauncher>(bridgeOptions(server.port(), pace));
        if (!client->start())
            return client->error();
        return bridgeJoined(reader, "shop") ? QString() : QStringLiteral("the bridge did not join");
    }
};

#define BRIDGE(b, pace)                                \
    do {                                               \
        const QString failed = (b).start(pace);        \
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString(); \
    } while (false)

// A bridge in this process, without a room.
IrcSettings settingsFor(quint16 port)
{
    IrcSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.channel = QStringLiteral("#art");
    settings.nick = QStringLiteral("shop");
    return settings;
}

} // namespace

TEST(ircBridge, FadedPageArrivesWithItsColoursAndTheChannelAnswersInTheRoom)
{
    Bridged b;
    BRIDGE(b, QStringLiteral("off"));
    IrcPeers::Reader& reader = b.reader;
    ChatClientLauncher& client = *b.client;
    // The room carries the channel's name.
    EXPECT_TRUE(waitUntil([&] { return client.dump().contains(QLatin1String("class=\"Chat Child\" text=\"#art\"")); }));

    // What the fader makes of "abc" from red to blue, sent the way the shop sends a page.
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral(
                  "<Font Color=#AA0055>a<Font Color=#5500AA>b<Font Color=#0000FF>c")), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 1; }));
    EXPECT_EQ(reader.messagesFrom("shop").value(0), "\x03" "6ab\x03" "12c\x0F");

    // A banner line: grey with bold initials and the ornament, in UTF-8.
    ASSERT_NE(CommonKit::SendChatText(QString::fromUtf8(
                  "<font color=\"#C0C0C0\"><font face=\"arial\"> \u2039\u203A\u00BB | <b>q</b>uorl")), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 2; }));
    EXPECT_EQ(reader.messagesFrom("shop").value(1), " \x03" "15\xE2\x80\xB9\xE2\x80\xBA\xC2\xBB | \x02q\x02uorl\x0F");

    // The channel talks back: the room shows it as plain text, codes gone.
    reader.say("hi \x03" "4there\x0F <b>friend</b> \xC3\xA9");
    ASSERT_TRUE(waitUntil([&] {
        for (const auto& line : client.transcript())
            if (line.room == "#art" && line.bytes == "hi there <b>friend</b> \xE9")
                return true;
        return false;
    })) << client.dump().toStdString();
    // Nothing the channel says goes back out.
    EXPECT_EQ(reader.messagesFrom("shop").size(), 2);
}

TEST(ircBridge, ThirtyLineMacroArrivesCompleteAndInOrderWithoutAFloodKick)
{
    // Faster than the usual pace so the test is short, still under the server's three lines a second.
    Bridged b;
    BRIDGE(b, QStringLiteral("0.5/5"));
    IrcPeers::Reader& reader = b.reader;
    ChatClientLauncher& client = *b.client;

    for (int i = 1; i <= 30; ++i)
        ASSERT_NE(CommonKit::SendChatText(QString::fromLatin1(scrollLine(i))), 0u);
    // The room says how much is waiting and when it will be through.
    EXPECT_TRUE(waitUntil([&] { return client.dump().contains(QLatin1String("lines queued, done about")); }))
        << client.dump().toStdString();

    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 30; }, 60000))
        << reader.messagesFrom("shop").size() << " lines arrived";
    const QList<QByteArray> got = reader.messagesFrom("shop");
    ASSERT_EQ(got.size(), 30);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(lineNumber(got[i]), i + 1) << got[i].toStdString();
    EXPECT_EQ(got[0], "\x03" "4line \x02" "101\x02 \x03" "12of the scroll\x0F");
    // Still the one connection: no quit, no second join, nothing lost said in the room.
    EXPECT_FALSE(reader.sawCommandFrom("QUIT", "shop"));
    EXPECT_EQ(reader.joinsOf("shop"), 1);
    EXPECT_FALSE(client.dump().contains(QLatin1String("Lost the connection")));
    EXPECT_TRUE(waitUntil([&] { return !client.dump().contains(QLatin1String("lines queued")); }));
}

TEST(ircBridge, SevenHundredByteLineArrivesSplitInTwoAndWhole)
{
    Bridged b;
    BRIDGE(b, QStringLiteral("off"));
    IrcPeers::Reader& reader = b.reader;

    // 700 Windows-1252 bytes; every tenth character takes two bytes in UTF-8.
    QString text;
    for (int i = 0; text.size() < 700; ++i)
        text += i % 10 == 9 ? QChar(0xE9) : QChar(QLatin1Char('a' + i % 26));
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("<font color=#00FF00>") + text), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 2; }));
    const QList<QByteArray> got = reader.messagesFrom("shop");
    ASSERT_EQ(got.size(), 2);
    for (const IrcPeers::Line& l : reader.lines()) {
        if (l.command == "PRIVMSG") {
            EXPECT_LE(l.raw.size() + 2, 512);
        }
    }
    EXPECT_TRUE(got[1].startsWith("\x03" "9")) << "the colour carries over";
    QString joined;
    for (const QByteArray& part : got) {
        const QString decoded = QString::fromUtf8(part);
        EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter));
        joined += decoded;
    }
    EXPECT_EQ(IrcColors::stripCodes(joined), text);
}

TEST(ircBridge, ServerKilledMidScrollTheBridgeRejoinsAndDeliversTheRest)
{
    Bridged b;
    BRIDGE(b, QStringLiteral("0.5/5"));
    IrcPeers::Server& server = b.server;
    IrcPeers::Reader* before = &b.reader;
    ChatClientLauncher& client = *b.client;

    constexpr int kLines = 20;
    for (int i = 1; i <= kLines; ++i)
        ASSERT_NE(CommonKit::SendChatText(QString::fromLatin1(scrollLine(i))), 0u);
    ASSERT_TRUE(waitUntil([&] { return before->messagesFrom("shop").size() >= 7; }));
    // The server stalls, so lines are written that it never reads; then it dies.
    server.freeze();
    const QRegularExpression unread(QStringLiteral("\\(([2-9]|1\\d) sent, not yet confirmed\\)"));
    ASSERT_TRUE(waitUntil([&] { return unread.match(client.dump()).hasMatch(); })) << client.dump().toStdString();
    server.kill();
    // The client waits while the server comes back, so the new reader is in the channel first.
    client.freeze();
    QList<int> seenBefore;
    for (const QByteArray& m : before->messagesFrom("shop"))
        seenBefore.append(lineNumber(m));
    before->close();

    START_SERVER(server);
    IrcPeers::Reader after;
    JOIN(after, server.port(), "reader");
    client.thaw();
    ASSERT_TRUE(bridgeJoined(after, "shop")) << client.dump().toStdString();
    ASSERT_TRUE(waitUntil([&] {
        const QList<QByteArray> got = after.messagesFrom("shop");
        return !got.isEmpty() && lineNumber(got.last()) == kLines;
    }, 60000)) << client.dump().toStdString();

    // In order after the rejoin (a line the server may not have read goes again), and together
    // with what arrived before nothing is missing.
    QList<int> seenAfter;
    for (const QByteArray& m : after.messagesFrom("shop"))
        seenAfter.append(lineNumber(m));
    for (qsizetype i = 1; i < seenAfter.size(); ++i)
        EXPECT_LT(seenAfter[i - 1], seenAfter[i]);
    for (int i = 1; i <= kLines; ++i)
        EXPECT_TRUE(seenBefore.contains(i) || seenAfter.contains(i)) << "line " << i << " lost";
    ASSERT_FALSE(seenAfter.isEmpty());
    EXPECT_LE(seenAfter.first(), seenBefore.last() + 1);
    // The room said what happened.
    const QString dump = client.dump();
    EXPECT_TRUE(dump.contains(QLatin1String("Lost the connection to 127.0.0.1"))) << dump.toStdString();
    EXPECT_EQ(dump.count(QLatin1String("Joined #art")), 2);
}

TEST(ircBridge, NickInUseTakesAnotherAndSaysSo)
{
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader squatter;
    JOIN(squatter, server.port(), "shop");
    ChatClientLauncher client(bridgeOptions(server.port(), QStringLiteral("off")));
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    ASSERT_TRUE(bridgeJoined(squatter, "shop_"));
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("still here")), 0u);
    ASSERT_TRUE(waitUntil([&] { return !squatter.messagesFrom("shop_").isEmpty(); }));
    EXPECT_EQ(squatter.messagesFrom("shop_").value(0), "still here\x0F");
    EXPECT_TRUE(client.dump().contains(QLatin1String("The nick shop is in use; trying shop_.")));
    // The room shows the line under the nick the channel saw it from, beside the squatter.
    IrcPeers::RoomView room;
    EXPECT_TRUE(waitUntil([&] {
        room = IrcPeers::RoomView::read(client.dump(), "#art");
        return room.status == "#art: connected to 127.0.0.1 as shop_";
    })) << room.status.toStdString();
    EXPECT_TRUE(room.transcript.contains("\r\nshop_:\tstill here\r\n")) << client.dump().toStdString();
    EXPECT_FALSE(room.transcript.contains("Guest:")) << room.transcript.toStdString();
    EXPECT_EQ(room.people, (QList<QByteArray>{"shop", "shop_"}));
}

TEST(ircBridge, PeopleListFollowsJoinsNickChangesLeavesQuitsAndKicks)
{
    Bridged b;
    BRIDGE(b, QStringLiteral("off"));
    ChatClientLauncher& client = *b.client;
    QList<QByteArray> shown;
    auto showsPeople = [&](const QList<QByteArray>& expected) {
        return waitUntil([&] {
            shown = IrcPeers::RoomView::read(client.dump(), "#art").people;
            return shown == expected;
        });
    };
    auto listed = [&] { return QByteArray(shown.join(' ')).toStdString(); };
    // The channel's names, not the stand-in's own; the reader came first and is an operator.
    ASSERT_TRUE(showsPeople({"reader", "shop"})) << listed();

    IrcPeers::Reader guest;
    JOIN(guest, b.server.port(), "guest");
    ASSERT_TRUE(showsPeople({"guest", "reader", "shop"})) << listed();
    guest.send("NICK artfan");
    ASSERT_TRUE(showsPeople({"artfan", "reader", "shop"})) << listed();
    guest.send("PART #art :later");
    ASSERT_TRUE(showsPeople({"reader", "shop"})) << listed();

    // Sorted as nicks compare, without regard to case.
    IrcPeers::Reader quitter;
    JOIN(quitter, b.server.port(), "Quitter");
    ASSERT_TRUE(showsPeople({"Quitter", "reader", "shop"})) << listed();
    quitter.send("QUIT :gone");
    ASSERT_TRUE(showsPeople({"reader", "shop"})) << listed();

    IrcPeers::Reader victim;
    JOIN(victim, b.server.port(), "victim");
    ASSERT_TRUE(showsPeople({"reader", "shop", "victim"})) << listed();
    b.reader.send("KICK #art victim :bye");
    ASSERT_TRUE(showsPeople({"reader", "shop"})) << listed();
    EXPECT_TRUE(IrcPeers::RoomView::read(client.dump(), "#art")
                    .transcript.contains("*** victim was kicked from #art by reader (bye).\r\n"));
}

TEST(ircBridge, KickedTheRoomNamesTheKickerAndTheStatusSaysConnectedThroughTheRejoin)
{
    Bridged b;
    BRIDGE(b, QStringLiteral("off"));
    ChatClientLauncher& client = *b.client;
    IrcPeers::RoomView room;
    auto roomShows = [&](const std::function<bool()>& condition, int ms = 20000) {
        return waitUntil([&] {
            room = IrcPeers::RoomView::read(client.dump(), "#art");
            return condition();
        }, ms);
    };
    const QByteArray connected = "#art: connected to 127.0.0.1 as shop";
    ASSERT_TRUE(roomShows([&] { return room.status == connected; })) << room.status.toStdString();

    b.reader.send("KICK #art shop :enough");
    ASSERT_TRUE(roomShows([&] {
        return room.transcript.contains("*** Kicked from #art by reader (enough); joining again in 5 s.\r\n");
    })) << room.transcript.toStdString();
    // Still on the server while out of the channel, and nobody listed there.
    EXPECT_EQ(room.status, connected + ", kicked by reader; joining again");
    EXPECT_TRUE(room.people.isEmpty()) << QByteArray(room.people.join(' ')).toStdString();

    ASSERT_TRUE(bridgeJoined(b.reader, "shop", 2));
    ASSERT_TRUE(roomShows([&] { return room.status == connected && room.people.size() == 2; }))
        << room.status.toStdString();
    EXPECT_EQ(room.people, (QList<QByteArray>{"reader", "shop"}));
    EXPECT_EQ(room.transcript.count("*** Joined #art on 127.0.0.1 as shop."), 2);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("back again")), 0u);
    ASSERT_TRUE(waitUntil([&] { return !b.reader.messagesFrom("shop").isEmpty(); }));
    EXPECT_EQ(b.reader.messagesFrom("shop").value(0), "back again\x0F");
}

TEST(ircBridge, NonsenseAndDroppedConnectionsAreReportedAndNothingIsLost)
{
    // A peer that is no IRC server: it answers garbage and a line of 20,000 bytes, then hangs
    // up; after that it drops every connection at once, until the test lets it pass connections
    // on to a real server.
    QTcpServer liar;
    ASSERT_TRUE(liar.listen(QHostAddress::LocalHost, 0));
    int accepted = 0;
    quint16 realPort = 0;
    QObject::connect(&liar, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = liar.nextPendingConnection();
        if (++accepted == 1) {
            s->write("HTTP/1.1 400 Bad Request\r\n:\r\n\xFF\xFE\r\n001\r\n:x 433\r\n");
            s->write(QByteArray(20000, 'z') + "\r\n");
            s->disconnectFromHost();
        } else if (!realPort) {
            s->abort();
        } else {
            auto* real = new QTcpSocket(s);
            QObject::connect(s, &QTcpSocket::readyRead, real, [s, real] { real->write(s->readAll()); });
            QObject::connect(real, &QTcpSocket::readyRead, s, [s, real] { s->write(real->readAll()); });
            QObject::connect(real, &QTcpSocket::connected, s, [s, real] { real->write(s->readAll()); });
            real->connectToHost(QHostAddress::LocalHost, realPort);
        }
    });
    IrcSettings settings = settingsFor(liar.serverPort());
    settings.pacer = IrcPacer(0, 1);
    IrcBridge bridge(settings);
    QStringList notices;
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    bridge.start();
    bridge.post("<b>kept</b> line");
    ASSERT_TRUE(waitUntil([&] { return accepted >= 2 && notices.join(QLatin1Char('\n')).contains(QLatin1String("kept")); }));
    const QString said = notices.join(QLatin1Char('\n'));
    // Three lines that are no IRC, said once; the long line is cut, and that is said too.
    EXPECT_EQ(said.count(QLatin1String("no IRC")), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QLatin1String("no IRC, left out: \"HTTP/1.1 400 Bad Request\"."))) << said.toStdString();
    EXPECT_TRUE(said.contains(QLatin1String("longer than the 512 bytes IRC allows"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QLatin1String("closed the connection"), Qt::CaseInsensitive)) << said.toStdString();
    EXPECT_TRUE(said.contains(QLatin1String("1 line kept"))) << said.toStdString();
    EXPECT_EQ(bridge.pending(), 1);
    EXPECT_FALSE(bridge.joined());

    // A real server behind the same address: the bridge gets there by itself and delivers.
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
    realPort = server.port();
    ASSERT_TRUE(waitUntil([&] { return !reader.messagesFrom("shop").isEmpty(); }, 90000))
        << notices.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(reader.messagesFrom("shop"), QList<QByteArray>{"\x02kept\x02 line\x0F"});
    EXPECT_TRUE(waitUntil([&] { return bridge.pending() == 0; }));
}

TEST(ircBridge, BadOptionsAreRefusedWithAReason)
{
    const QList<QStringList> bad = {
        {"--irc", "127.0.0.1:99999", "--channel", "#art", "--nick", "shop"},
        {"--irc", "127.0.0.1", "--channel", "art", "--nick", "shop"},
        {"--irc", "127.0.0.1", "--channel", "#art", "--nick", "two words"},
        {"--irc", "127.0.0.1", "--channel", "#art", "--nick", "shop", "--irc-colors", "256"},
        {"--irc", "127.0.0.1", "--channel", "#art", "--nick", "shop", "--irc-pace", "fast"},
        {"--irc", "127.0.0.1", "--channel", "#art", "--nick", "shop", "--tls", "--irc-ca", "/nonexistent.pem"},
    };
    for (const QStringList& args : bad) {
        QProcess p;
        p.start(ChatClientLauncher::program(), QStringList{"--headless"} + args);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains("quorl-chatclient: --")) << args.join(' ').toStdString();
    }
}

TEST(ircBridge, LinesWaitForTheirTurnOnThePacersClock)
{
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
    IrcSettings settings = settingsFor(server.port());
    settings.pacer = IrcPacer(2000, 5);
    qint64 fakeNow = 1000000;  // moves only when the test moves it
    IrcBridge bridge(settings, [&] { return fakeNow; });
    bridge.start();
    ASSERT_TRUE(bridgeJoined(reader, "shop"));
    for (int i = 1; i <= 8; ++i)
        bridge.post(scrollLine(i));

    // The burst goes at once; the rest waits while the clock stands still.
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 5 && bridge.pending() == 3; }));
    EXPECT_EQ(reader.messagesFrom("shop").size(), 5);
    EXPECT_TRUE(bridge.status().contains(QLatin1String("3 lines queued"))) << bridge.status().toStdString();

    // One interval later exactly one more line may go.
    fakeNow += 2000;
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 6; }));
    EXPECT_EQ(bridge.pending(), 2);
    fakeNow += 4000;
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("shop").size() >= 8; }));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(lineNumber(reader.messagesFrom("shop").value(i)), i + 1);
}

TEST(ircBridge, TlsToAPlainServerFailsAndSaysWhy)
{
    IrcPeers::Server server;
    START_SERVER(server);
    IrcSettings settings = settingsFor(server.port());
    settings.tls = true;
    IrcBridge bridge(settings);
    QStringList notices;
    QObject::connect(&bridge, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    bridge.start();
    bridge.post("waiting");
    ASSERT_TRUE(waitUntil([&] { return !notices.isEmpty(); }, 60000));
    EXPECT_TRUE(notices.first().startsWith(QLatin1String("Could not join via 127.0.0.1:"))) << notices.first().toStdString();
    EXPECT_TRUE(notices.first().contains(QLatin1String("1 line kept"))) << notices.first().toStdString();
    EXPECT_TRUE(notices.first().contains(QLatin1String("is it a TLS port?"))) << notices.first().toStdString();
    EXPECT_FALSE(bridge.joined());
    EXPECT_EQ(bridge.pending(), 1);
}

TEST(ircBridge, TlsWithThePrivateServersCertificateDeliversAndWithoutItIsRefused)
{
    IrcPeers::Server server;
    ASSERT_TRUE(server.enableTls()) << server.error().toStdString();
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");

    // A certificate nobody vouches for is refused, and the notice says why.
    IrcSettings settings = settingsFor(server.tlsPort());
    settings.tls = true;
    IrcBridge untrusting(settings);
    QStringList notices;
    QObject::connect(&untrusting, &IrcBridge::notice, [&](const QString& n) { notices << n; });
    untrusting.start();
    ASSERT_TRUE(waitUntil([&] { return !notices.isEmpty(); }, 60000));
    EXPECT_TRUE(notices.first().contains(QLatin1String("certificate"), Qt::CaseInsensitive))
        << notices.first().toStdString();
    EXPECT_EQ(reader.joinsOf("shop"), 0);

    ChatClientLauncher client({QStringLiteral("--irc"), QStringLiteral("127.0.0.1:%1").arg(server.tlsPort()),
                               QStringLiteral("--tls"), QStringLiteral("--irc-ca"), server.certificate(),
                               QStringLiteral("--channel"), QStringLiteral("#art"), QStringLiteral("--nick"),
                               QStringLiteral("tlsshop")});
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    ASSERT_TRUE(bridgeJoined(reader, "tlsshop")) << client.dump().toStdString();
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("<b>over TLS</b>")), 0u);
    ASSERT_TRUE(waitUntil([&] { return !reader.messagesFrom("tlsshop").isEmpty(); }));
    EXPECT_EQ(reader.messagesFrom("tlsshop").value(0), "\x02over TLS\x0F");
}
