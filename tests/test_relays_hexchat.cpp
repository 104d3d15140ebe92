#include "support/relayshop.h"

using namespace RelayTest;

namespace {

// HexChat on this test's display and bus, with a configuration folder of its own that joins
// the server as artist.
class HexChat {
public:
    // channel empty: HexChat shows the server's tab alone.
    bool start(quint16 port, const QString& channel = QStringLiteral("#art"))
    {
        QFile conf(dir_.filePath(QStringLiteral("hexchat.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write("gui_slist_skip = 1\nirc_nick1 = artist\nirc_nick2 = artist_\nirc_user_name = artist\n"
                   "gui_join_dialog = 0\ngui_tray = 0\n");
        conf.close();
        process_.start(QStringLiteral("hexchat"),
                       {QStringLiteral("-d"), dir_.path(), QStringLiteral("irc://127.0.0.1:%1/%2").arg(port).arg(channel)});
        return process_.waitForStarted(10000);
    }
    // Waits until HexChat serves its remote interface. As root it first waits on a warning
    // box; Return on it, once a second while the box may be up, goes on.
    bool waitForBus()
    {
        QElapsedTimer pressed;
        pressed.start();
        return waitUntil(
            [&] {
                if (QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.hexchat.service")))
                    return true;
                if (getuid() == 0 && pressed.elapsed() > 1000) {
                    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
                    pressed.restart();
                }
                return false;
            },
            30000);
    }
    qint64 pid() const { return process_.processId(); }
    ~HexChat()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

} // namespace

TEST_F(relayShop, HexChatSaysTheRedAndTheLongPageUnderTheUsersNick)
{
    NEED("hexchat");
    NEED("xdotool");
    SERVER_AND_READER();
    HexChat hexchat;
    ASSERT_TRUE(hexchat.start(server.port()));
    // No call before HexChat is there: the relay starts no HexChat of the bus's.
    ChatClientLauncher client({QStringLiteral("--hexchat"), QStringLiteral("--channel"), QStringLiteral("#art"),
                               QStringLiteral("--irc-pace"), QStringLiteral("off")});
    START(client);
    ASSERT_TRUE(hexchat.waitForBus());
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }, 30000));
    scrollRedAndLongPages();
    expectRedAndLongPage(reader);
    EXPECT_TRUE(client.dump().contains(QLatin1String("Art goes to channel #art in HexChat.")))
        << client.dump().toStdString();
    // A slash in front is text, no command.
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("/quit now")), 0u);
    const qsizetype before = reader.messagesFrom("artist").size();
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() > before; }));
    EXPECT_EQ(reader.messagesFrom("artist").value(before), "/quit now\x0F");

    // A channel HexChat has no tab for is named, and the art waits.
    ChatClientLauncher elsewhere({QStringLiteral("--hexchat"), QStringLiteral("--channel"), QStringLiteral("#nowhere")},
                                 QStringLiteral("org.quorl.ChatClient2"));
    START(elsewhere);
    EXPECT_TRUE(roomSays(elsewhere, QStringLiteral("HexChat has no joined channel #nowhere (no tab of that name)")))
        << elsewhere.dump().toStdString();
}

TEST(hexchatRelay, WithNoHexChatTheRoomSaysSoTheBusStartsNoneAndTheArtGoesOnceHexChatRuns)
{
    ChatClientLauncher client({QStringLiteral("--hexchat"), QStringLiteral("--channel"), QStringLiteral("#art"),
                               QStringLiteral("--irc-pace"), QStringLiteral("off")});
    START(client);
    EXPECT_TRUE(roomSays(client, QStringLiteral("HexChat is not running (nobody serves org.hexchat.service")))
        << client.dump().toStdString();
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("<font color=\"#FF0000\">red art")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("HexChat is not running \\xb7 1 line to go, kept")))
        << client.dump().toStdString();
    // The looks went to the bus itself: no HexChat was started on the art's behalf.
    EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.hexchat.service")));

    NEED("hexchat");
    NEED("xdotool");
    SERVER_AND_READER();
    HexChat hexchat;
    ASSERT_TRUE(hexchat.start(server.port()));
    ASSERT_TRUE(hexchat.waitForBus());
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 30000));
    // A line after it shows that the first came once only.
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("after")), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 2; }));
    EXPECT_EQ(reader.messagesFrom("artist"), (QList<QByteArray>{kRed, "after\x0F"}));
}

TEST(hexchatRelay, AStoppedHexChatIsSaidNotToAnswerAndTakesTheArtWhenItGoesOn)
{
    NEED("hexchat");
    NEED("xdotool");
    SERVER_AND_READER();
    HexChat hexchat;
    ASSERT_TRUE(hexchat.start(server.port()));
    ASSERT_TRUE(hexchat.waitForBus());
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }, 30000));
    ChatClientLauncher client({QStringLiteral("--hexchat"), QStringLiteral("--channel"), QStringLiteral("#art"),
                               QStringLiteral("--irc-pace"), QStringLiteral("off")});
    START(client);
    ASSERT_TRUE(roomSays(client, QStringLiteral("Art goes to channel #art in HexChat.")));
    ::kill(pid_t(hexchat.pid()), SIGSTOP);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("kept")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("HexChat does not answer (no reply within 5 s); the art waits until it "
                                                "does. 1 line waits.")))
        << client.dump().toStdString();
    EXPECT_FALSE(client.dump().contains(QLatin1String("HexChat is not running")));
    ::kill(pid_t(hexchat.pid()), SIGCONT);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 20000))
        << client.dump().toStdString();
    EXPECT_EQ(reader.messagesFrom("artist"), QList<QByteArray>{"kept\x0F"});
}

TEST(hexchatRelay, ACurrentTabThatIsNoJoinedChannelKeepsTheArtUntilTheChannelIsJoined)
{
    NEED("hexchat");
    NEED("xdotool");
    SERVER_AND_READER();
    HexChat hexchat;
    ASSERT_TRUE(hexchat.start(server.port(), QString()));
    ASSERT_TRUE(hexchat.waitForBus());
    ChatClientLauncher client({QStringLiteral("--hexchat"), QStringLiteral("--irc-pace"), QStringLiteral("off")});
    START(client);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("kept")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("HexChat has no joined channel in the current tab (it shows a server or "
                                                "a channel it is not in); the art waits until it has.")))
        << client.dump().toStdString();
    EXPECT_TRUE(reader.messagesFrom("artist").isEmpty());

    // Joined from HexChat's own command line, over its remote interface: the new tab comes to front.
    QDBusMessage join = QDBusMessage::createMethodCall(QStringLiteral("org.hexchat.service"),
                                                       QStringLiteral("/org/hexchat/Remote"),
                                                       QStringLiteral("org.hexchat.plugin"), QStringLiteral("Command"));
    join.setArguments({QStringLiteral("join #art")});
    // Until HexChat is on the server, the command fails: once a second.
    QElapsedTimer sent;
    ASSERT_TRUE(waitUntil([&] {
        if (reader.joinsOf("artist") >= 1)
            return true;
        if (!sent.isValid() || sent.elapsed() > 1000) {
            QDBusConnection::sessionBus().call(join);
            sent.start();
        }
        return false;
    }, 20000));
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 20000))
        << client.dump().toStdString();
    EXPECT_EQ(reader.messagesFrom("artist"), QList<QByteArray>{"kept\x0F"});
}

// ---- the client's window dump ----

