#include "support/chatclientlauncher.h"
#include "support/ircpeers.h"
#include "support/shoptest.h"
#include "weechatrelay.h"
#include "chat/chatops.h"
#include "chat/ops.h"
#include "chattext/irccolors.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/pageedit.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu4.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>
#include <csignal>
#include <unistd.h>

// The room's art through the chat programs the user runs: Debian's WeeChat (headless, its fifo
// plugin on) and HexChat (on this test's X display and session bus), each joined to ngircd on
// loopback with a plain IRC client reading in the channel; and "copy for IRC" read back with xclip.

using IrcPeers::waitUntil;

namespace {

#define START_SERVER(server) ASSERT_TRUE((server).start()) << (server).error().toStdString()
#define JOIN(reader, port, nick) \
    ASSERT_TRUE((reader).join((port), (nick), "#art")) << (reader).error().toStdString()
#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

const QByteArray kRed = "\x03" "4red art\x0F";

// Skips the test, saying why, when a program it needs is not installed.
#define NEED(program)                                                                       \
    do {                                                                                    \
        if (QStandardPaths::findExecutable(QStringLiteral(program)).isEmpty())             \
            GTEST_SKIP() << program " is not installed; this test needs it";                \
    } while (false)

bool weechatHasFifo()
{
    QDirIterator it(QStringLiteral("/usr/lib"), {QStringLiteral("fifo.so")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (it.next().contains(QLatin1String("weechat/plugins")))
            return true;
    return false;
}

#define NEED_WEECHAT()                                                                       \
    do {                                                                                     \
        NEED("weechat-headless");                                                            \
        if (!weechatHasFifo())                                                               \
            GTEST_SKIP() << "weechat-plugins is not installed (WeeChat's fifo plugin); this test needs it"; \
    } while (false)

// 700 characters, every tenth an accented one.
QString longPage()
{
    QString text;
    for (int i = 0; text.size() < 700; ++i)
        text += i % 10 == 9 ? QChar(0xE9) : QChar(QLatin1Char('a' + i % 26));
    return text;
}

// WeeChat without a terminal, its files in a folder of its own, joined to the server as artist.
class WeeChat {
public:
    // dir: the folder of a WeeChat before this one; else one of its own.
    explicit WeeChat(const QString& dir = {}) : dirPath_(dir.isEmpty() ? dir_.path() : dir) {}
    // flood: WeeChat's own pause between the user's lines, in seconds.
    bool start(quint16 port, int flood = 2, const QString& nick = QStringLiteral("artist"))
    {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        const QString commands =
            QStringLiteral("/server add local 127.0.0.1/%1;/set irc.server.local.tls off;"
                           "/set irc.server.local.nicks %3;/set irc.server.local.autojoin #art;"
                           "/set irc.server.local.anti_flood_prio_high %2;/connect local")
                .arg(port)
                .arg(flood)
                .arg(nick);
        process_.start(QStringLiteral("weechat-headless"),
                       {QStringLiteral("--dir"), dirPath_, QStringLiteral("--stdout"), QStringLiteral("-r"), commands});
        return process_.waitForStarted(10000);
    }
    ~WeeChat() { kill(); }
    // Ends it as a crash would: its pipe stays behind with nobody reading it.
    void kill()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    QString dir() const { return dirPath_; }
    qint64 pid() const { return process_.processId(); }
    QByteArray log() { return process_.readAll(); }
    // A line into its fifo pipe, as another program would write it: "irc.local.#art */part".
    bool command(const QByteArray& line)
    {
        QDirIterator it(dirPath_, {QStringLiteral("weechat_fifo_*")}, QDir::System);
        if (!it.hasNext())
            return false;
        QFile pipe(it.next());
        return pipe.open(QIODevice::WriteOnly) && pipe.write(line + '\n') == line.size() + 1;
    }

private:
    QTemporaryDir dir_;
    QString dirPath_;
    QProcess process_;
};

// Runs xclip to read the clipboard while this process keeps serving it.
QByteArray clipboardByXclip()
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!waitUntil([&] { return xclip.state() == QProcess::NotRunning; }, 10000)) {
        xclip.kill();
        xclip.waitForFinished();
        return "(xclip did not finish)";
    }
    return xclip.readAllStandardOutput();
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

void press(QWidget* w)
{
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

// The shop as the user starts it, its pages typed by key.
class relayShop : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
        launch();
        QApplication::processEvents();
        Forms::get<menu2>().checkAll();
    }
    frmmain& main() { return *Forms::loaded<frmmain>(); }
    void type(int n, const QString& text)
    {
        PageEdit* page = main().page(n);
        page->clear();
        // Test keys know ASCII only; other characters arrive as the key's text, as a keyboard sends them.
        for (QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(page, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, page, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        ASSERT_EQ(page->text().toStdString(), text.toStdString());
    }
    // The red page and the long one, scrolled with the panel's button.
    void scrollRedAndLongPages()
    {
        type(1, QStringLiteral("<font color=\"#FF0000\">red art"));
        type(2, longPage());
        ops& panel = Forms::get<ops>();
        panel.show();
        click(panel.Label1);
    }
    // What the reader saw from artist: the red line first, then the long page whole.
    void expectRedAndLongPage(const IrcPeers::Reader& reader)
    {
        // The long page comes in pieces short enough for any nick and host.
        QString joined;
        ASSERT_TRUE(waitUntil([&] {
            joined.clear();
            for (const QByteArray& piece : reader.messagesFrom("artist").mid(1))
                joined += IrcColors::stripCodes(QString::fromUtf8(piece));
            return joined.size() >= longPage().size();
        }, 30000)) << reader.messagesFrom("artist").size() << " lines arrived";
        const QList<QByteArray> got = reader.messagesFrom("artist");
        ASSERT_GE(got.size(), 3);
        EXPECT_EQ(got[0], kRed);
        for (const QByteArray& piece : got.mid(1))
            EXPECT_FALSE(QString::fromUtf8(piece).contains(QChar::ReplacementCharacter));
        EXPECT_EQ(joined.toStdString(), longPage().toStdString());
        for (const IrcPeers::Line& l : reader.lines()) {
            if (l.command == "PRIVMSG") {
                EXPECT_LE(l.raw.size() + 2, 512);
            }
        }
    }
};

QStringList weechatOptions(const QString& dir, const QString& buffer = QStringLiteral("irc.local.#art"))
{
    return {QStringLiteral("--weechat"), dir, QStringLiteral("--buffer"), buffer, QStringLiteral("--irc-pace"),
            QStringLiteral("off")};
}

bool roomSays(const ChatClientLauncher& client, const QString& text, int ms = 20000)
{
    return waitUntil([&] { return client.dump().contains(text); }, ms);
}

bool seen(const IrcPeers::Reader& reader, const QByteArray& command)
{
    for (const IrcPeers::Line& l : reader.lines())
        if (l.command == command)
            return true;
    return false;
}

} // namespace

// ---- WeeChat ----

TEST_F(relayShop, WeeChatSaysTheRedAndTheLongPageUnderTheUsersNick)
{
    NEED_WEECHAT();
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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
    IrcPeers::Server server;
    START_SERVER(server);
    IrcPeers::Reader reader;
    JOIN(reader, server.port(), "reader");
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

TEST(roomDump, ARoomTextHoldingPercentSignsIsDumpedAsWritten)
{
    ChatClientLauncher client{QStringList{}};
    START(client);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("50%1 off %2")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("50%1 off %2"))) << client.dump().toStdString();
    EXPECT_FALSE(client.dump().contains(QLatin1String("enabled=%"))) << client.dump().toStdString();
}

// ---- copy for IRC ----

TEST(copyForIrc, ALineStartingWithASlashStartsWithTheResetCodeSoNoClientRunsIt)
{
    EXPECT_EQ(IrcColors::forPaste({QStringLiteral("/me dances"), QStringLiteral("plain"), QStringLiteral(" /x")})
                  .toStdString(),
              "\x0f/me dances\x0F\nplain\x0F\n /x\x0F");
}

TEST_F(relayShop, CopyForIrcLeavesTheRedPageAsColourFourOnTheClipboard)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    type(1, QStringLiteral("<font color=\"#FF0000\">red art"));
    type(3, QStringLiteral("<b>bold</b> plain"));
    main().show();
    click(main().Label5);
    menu3& edit = Forms::get<menu3>();
    ASSERT_TRUE(edit.isVisible());
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_FALSE(edit.isVisible());
    // One line a page; the empty pages leave no line.
    EXPECT_EQ(clipboardByXclip(), kRed + "\n\x02" "bold\x02 plain\x0F");
}

TEST_F(relayShop, CopyForIrcWithEveryPageEmptyLeavesTheClipboardAndSaysNothingWasCopied)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    QApplication::clipboard()->setText(QStringLiteral("held before"));
    for (int n = 1; n <= 4; ++n)
        main().page(n)->clear();
    main().show();
    click(main().Label5);
    menu3& edit = Forms::get<menu3>();
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_EQ(clipboardByXclip(), "held before");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text.toStdString(),
              "Nothing was copied: every page is empty. The clipboard holds what it held.");
}

TEST_F(relayShop, CopyForIrcInTheMacroShopCopiesTheMacroLineByLine)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    frmdraw& d = Forms::get<frmdraw>();
    d.show();
    d.Text1->setText(QStringLiteral("<font color=\"#FF0000\">red art\r\n\r\n<font color=#0000FF>blue"));
    press(d.Label5);
    mnu4& edit = Forms::get<mnu4>();
    ASSERT_TRUE(edit.isVisible());
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_EQ(clipboardByXclip(), kRed + "\n\n\x03" "12blue\x0F");
}
