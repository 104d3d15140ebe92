#include "support/relayshop.h"

using namespace RelayTest;

// ---- WeeChat ----

TEST_F(relayShop, WeeChatSaysTheRedAndTheLongPageUnderTheUsersNick)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port()));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; })) << weechat.log().toStdString();

    ChatClientLauncher client(weechatOptions(weechat.dir()));
    START(client);
    EXPECT_TRUE(roomSays(client, QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")))
        << client.dump().toStdString();
    scrollRedAndLongPages();
    expectRedAndLongPage(reader);
    // WeeChat's own flood control holds the lines a while; the status line counts them down.
    EXPECT_TRUE(roomSays(client, QStringLiteral("To buffer irc.local.#art in WeeChat\"")))
        << client.dump().toStdString();
}

TEST(weechatRelay, StartedBeforeWeeChatItSaysSoKeepsTheArtAndDeliversItOnceWhenWeeChatRuns)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;

    ChatClientLauncher client(weechatOptions(weechat.dir()));
    START(client);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat is not running (no fifo pipe at %1")
                                     .arg(weechat.dir())))
        << client.dump().toStdString();
    EXPECT_TRUE(roomSays(client, QStringLiteral("class=\"_Chat_Static\" text=\"WeeChat is not running\"")))
        << client.dump().toStdString();
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("<font color=\"#FF0000\">red art")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("1 line to go, kept"))) << client.dump().toStdString();

    ASSERT_TRUE(weechat.start(server.port()));
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 30000))
        << weechat.log().toStdString() << client.dump().toStdString();
    // A line after it shows that the first came once only; a slash in front is text, no command.
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("/quit after")), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 2; }, 30000));
    const QList<QByteArray> got = reader.messagesFrom("artist");
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0], kRed);
    EXPECT_EQ(got[1], "/quit after\x0F");
    EXPECT_TRUE(client.dump().contains(QLatin1String("Art goes to buffer irc.local.#art in WeeChat.")));
}

TEST(weechatRelay, WeeChatKilledMidScrollTheRestWaitsAndGoesOnceToTheNextWeeChat)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    auto first = std::make_unique<WeeChat>();
    const QString dir = first->dir();
    ASSERT_TRUE(first->start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }));

    // One line each 2 s, so WeeChat has read each line long before the next is written.
    ChatClientLauncher client({QStringLiteral("--weechat"), dir, QStringLiteral("--buffer"),
                               QStringLiteral("irc.local.#art"), QStringLiteral("--irc-pace"), QStringLiteral("2/1")});
    START(client);
    ASSERT_TRUE(roomSays(client, QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")));
    for (int i = 1; i <= 5; ++i)
        ASSERT_NE(CommonKit::SendChatText(QStringLiteral("line %1").arg(i)), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 2; }, 30000));

    // The pipe stays in the folder; nobody reads it any more.
    first->kill();
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat is not running (nobody reads %1/weechat_fifo_").arg(dir)))
        << client.dump().toStdString();
    EXPECT_TRUE(roomSays(client, QStringLiteral("lines to go, kept"))) << client.dump().toStdString();

    // WeeChat again, in the same folder: a new pipe, the channel joined anew.
    WeeChat second(dir);
    ASSERT_TRUE(second.start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 5; }, 40000))
        << client.dump().toStdString();
    QList<QByteArray> want;
    for (int i = 1; i <= 5; ++i)
        want << "line " + QByteArray::number(i) + "\x0F";
    EXPECT_EQ(reader.messagesFrom("artist"), want);
}

TEST(weechatRelay, ABufferWeeChatDoesNotHaveIsNamedAndTheArtWaits)
{
    NEED_WEECHAT();
    IrcPeers::Server server;
    START_SERVER(server);
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port()));
    ChatClientLauncher client(weechatOptions(weechat.dir(), QStringLiteral("irc.local.#nowhere")));
    START(client);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat has no buffer irc.local.#nowhere (no answer from it")))
        << client.dump().toStdString();
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("kept")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat has no buffer irc.local.#nowhere \\xb7 1 line to go, kept")))
        << client.dump().toStdString();
}

TEST(weechatRelay, AWeeChatThatStandsStillKeepsTheArtWaitingAndTakesItAllWhenItGoesOn)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }));
    ChatClientLauncher client(weechatOptions(weechat.dir()));
    START(client);
    ASSERT_TRUE(roomSays(client, QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")));

    // Started together, the client may have looked before WeeChat made its pipe.
    const qsizetype away = client.dump().count(QLatin1String("not running"));
    ::kill(pid_t(weechat.pid()), SIGSTOP);
    // 20,000 characters: about 60 lines, more than the relay writes past its last check.
    ASSERT_NE(CommonKit::SendChatText(QString(20000, QLatin1Char('x'))), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat has no buffer irc.local.#art (no answer from it within 3 s: "
                                                "the buffer is missing, WeeChat's exec plugin is off, or WeeChat is "
                                                "too busy to read)")));
    EXPECT_TRUE(roomSays(client, QStringLiteral("lines to go, kept\"")));

    ::kill(pid_t(weechat.pid()), SIGCONT);
    EXPECT_TRUE(roomSays(client, QStringLiteral("class=\"_Chat_Static\" text=\"To buffer irc.local.#art in WeeChat\""),
                         30000));
    const QString dump = client.dump();
    EXPECT_EQ(dump.count(QLatin1String("not running")), away);
    EXPECT_FALSE(dump.contains(QLatin1String("not sent again")));
}

TEST(weechatRelay, WhileWeeChatIsAwayTheKeptLinesStopAtTheirBoundAndSaySoOnce)
{
    QTemporaryDir empty;
    WeeChatRelay relay(empty.path(), QStringLiteral("irc.local.#art"), IrcPacer(0, 1));
    relay.setBound(8);
    QStringList notices;
    QObject::connect(&relay, &Relay::notice, [&](const QString& text) { notices << text; });
    relay.start();
    ASSERT_TRUE(waitUntil([&] { return !notices.isEmpty(); }));
    EXPECT_TRUE(notices[0].startsWith(QStringLiteral("WeeChat is not running (no fifo pipe at %1").arg(empty.path())))
        << notices[0].toStdString();
    for (int i = 0; i < 12; ++i)
        relay.post("line " + QByteArray::number(i));
    EXPECT_EQ(relay.pending(), 8);
    EXPECT_EQ(notices.size(), 2) << notices.join('|').toStdString();
    EXPECT_EQ(notices.value(1).toStdString(),
              "8 lines wait for buffer irc.local.#art in WeeChat already, the most kept; lines posted now are "
              "dropped until some have gone.");
    EXPECT_EQ(relay.status().toStdString(), "WeeChat is not running \u00b7 8 lines to go, kept");
}

TEST(weechatRelay, ABufferWeeChatHasLeftKeepsTheArtUntilItIsJoinedAgainThenSendsItOnce)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }));
    ChatClientLauncher client(weechatOptions(weechat.dir()));
    START(client);
    ASSERT_TRUE(roomSays(client, QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")));

    // Parted, the buffer stays; a line said there would get "not a channel" and be lost.
    ASSERT_TRUE(weechat.command("irc.local.#art */part"));
    ASSERT_TRUE(waitUntil([&] { return seen(reader, "PART"); }));
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("kept")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat has no buffer irc.local.#art (it is no channel WeeChat has "
                                                "joined on a connected server); the art waits until it has. 1 line waits.")))
        << client.dump().toStdString();
    EXPECT_TRUE(reader.messagesFrom("artist").isEmpty());

    ASSERT_TRUE(weechat.command("irc.local.#art */join #art"));
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 20000)) << client.dump().toStdString();
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("after")), 0u);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 2; }, 20000));
    EXPECT_EQ(reader.messagesFrom("artist"), (QList<QByteArray>{"kept\x0F", "after\x0F"}));

    // Disconnected, the lines wait as well.
    ASSERT_TRUE(weechat.command("irc.local.#art */disconnect"));
    ASSERT_TRUE(waitUntil([&] { return seen(reader, "QUIT"); }));
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("later")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("WeeChat has no buffer irc.local.#art \\xb7 1 line to go, kept")))
        << client.dump().toStdString();
}

TEST(weechatRelay, ANickOfThirtyGetsEachRelayLineWholeNoneSplitByWeeChat)
{
    NEED_WEECHAT();
    IrcPeers::Server server;
    server.setNickLength(30);
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
    const QByteArray nick = "artist_with_a_very_long_nick30";
    ASSERT_EQ(nick.size(), 30);
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port(), 0, QString::fromLatin1(nick)));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf(nick) >= 1; })) << weechat.log().toStdString();
    ChatClientLauncher client(weechatOptions(weechat.dir()));
    START(client);
    ASSERT_TRUE(roomSays(client, QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")));
    // Red throughout: a split would cut a line between colour codes.
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("<font color=\"#FF0000\">") + longPage() + longPage()), 0u);
    QString joined;
    ASSERT_TRUE(waitUntil([&] {
        joined.clear();
        for (const QByteArray& piece : reader.messagesFrom(nick))
            joined += IrcColors::stripCodes(QString::fromUtf8(piece));
        return joined.size() >= 1400;
    }, 20000)) << joined.size();
    EXPECT_EQ(joined.toStdString(), (longPage() + longPage()).toStdString());
    for (const QByteArray& piece : reader.messagesFrom(nick)) {
        // Each line as the relay made it: it starts with its colour and ends with the reset.
        EXPECT_TRUE(piece.startsWith("\x03" "4")) << piece.toStdString();
        EXPECT_TRUE(piece.endsWith("\x0F")) << piece.toStdString();
    }
}

TEST(weechatRelay, AFileWhereThePipeShouldBeIsNamedAsNoPipe)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("weechat_fifo_1")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    WeeChatRelay relay(dir.path(), QStringLiteral("irc.local.#art"), IrcPacer(0, 1));
    QStringList notices;
    QObject::connect(&relay, &Relay::notice, [&](const QString& text) { notices << text; });
    relay.start();
    ASSERT_TRUE(waitUntil([&] { return !notices.isEmpty(); }));
    EXPECT_EQ(notices[0].toStdString(), QStringLiteral("WeeChat is not running (%1 is no pipe); the art waits until it is.")
                                            .arg(file.fileName()).toStdString());
}

TEST(weechatRelay, ARuntimeFolderWithABlankStillGetsTheAnswer)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }));
    QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/fixrelay run XXXXXX"));
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    WeeChatRelay relay(weechat.dir(), QStringLiteral("irc.local.#art"), IrcPacer(0, 1));
    qputenv("XDG_RUNTIME_DIR", old);
    QStringList notices;
    QObject::connect(&relay, &Relay::notice, [&](const QString& text) { notices << text; });
    relay.start();
    relay.post("through");
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 1; }, 20000)) << notices.join('|').toStdString();
    EXPECT_EQ(reader.messagesFrom("artist"), QList<QByteArray>{"through\x0F"});
    EXPECT_TRUE(notices.contains(QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")));
}

TEST(weechatRelay, AWeeChatStoppedThenKilledCostsNoMoreThanAFewLinesAndTheRoomCountsThem)
{
    NEED_WEECHAT();
    SERVER_AND_READER();
    WeeChat weechat;
    ASSERT_TRUE(weechat.start(server.port(), 0));
    ASSERT_TRUE(waitUntil([&] { return reader.joinsOf("artist") >= 1; }));
    // A line each 100 ms: WeeChat stops in the middle of the scroll.
    WeeChatRelay relay(weechat.dir(), QStringLiteral("irc.local.#art"), IrcPacer(100, 1));
    relay.setAnswerMs(1000);
    QStringList notices;
    QObject::connect(&relay, &Relay::notice, [&](const QString& text) { notices << text; });
    relay.start();
    ASSERT_TRUE(waitUntil([&] { return notices.contains(QStringLiteral("Art goes to buffer irc.local.#art in WeeChat.")); }));
    QByteArray scroll;
    for (int i = 0; i < 60; ++i)
        scroll += "line " + QByteArray::number(i) + "\r\n";
    relay.post(scroll);
    ASSERT_TRUE(waitUntil([&] { return reader.messagesFrom("artist").size() >= 20; }));
    ::kill(pid_t(weechat.pid()), SIGSTOP);
    ASSERT_TRUE(waitUntil([&] { return relay.status().startsWith(QLatin1String("WeeChat has no")); }))
        << relay.status().toStdString();
    const int kept = relay.pending();
    // Killed while stopped: what its pipe held is gone.
    weechat.kill();
    QRegularExpressionMatch m;
    const QRegularExpression lost(QStringLiteral("^WeeChat went away; (\\d+) lines? may not have reached it\\. "
                                                 "(They are|It is) not sent again\\.$"));
    ASSERT_TRUE(waitUntil([&] {
        for (const QString& n : notices)
            if ((m = lost.match(n)).hasMatch())
                return true;
        return false;
    })) << notices.join('|').toStdString();
    const int unsure = m.captured(1).toInt();
    EXPECT_GE(unsure, 1);
    EXPECT_LE(unsure, 16);
    // Nothing goes twice; every line before the last answer arrived; the rest waits.
    EXPECT_EQ(relay.pending(), kept);
    const QList<QByteArray> got = reader.messagesFrom("artist");
    EXPECT_LE(got.size() + kept, 60);
    EXPECT_GE(got.size() + kept + unsure, 60);
    for (int i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], "line " + QByteArray::number(i) + "\x0F");
}

TEST(weechatRelay, OptionsThatMakeNoSenseAreRefusedWithAReason)
{
    struct Case {
        QStringList options;
        QByteArray says;
    };
    const QList<Case> cases = {
        {{"--buffer", "irc.x.#art"}, "--buffer goes with --weechat"},
        {{"--weechat", "--buffer", "nodot"}, "--buffer wants a WeeChat buffer such as irc.libera.#art"},
        {{"--weechat", "a", "b"}, "\"b\" is no option; --weechat takes one FIFO"},
        {{"--hexchat", "stray"}, "\"stray\" is no option"},
        {{"--hexchat", "--irc-pace", "fast"}, "--irc-pace: pace \"fast\" is not"},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.start(ChatClientLauncher::program(), QStringList{"--headless"} + c.options);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << c.options.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains(c.says)) << c.says.toStdString();
    }
}

// ---- HexChat ----

