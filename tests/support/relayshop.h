#pragma once
// The room's art through the chat programs the user runs: Debian's WeeChat (headless, its fifo
// plugin on) and HexChat (on the test's X display and session bus), each joined to ngircd on
// loopback with a plain IRC client reading in the channel; and "copy for IRC" read back with xclip.
// What the relay tests share.
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


namespace RelayTest {

using IrcPeers::waitUntil;


#define START_SERVER(server) ASSERT_TRUE((server).start()) << (server).error().toStdString()
#define JOIN(reader, port, nick) \
    ASSERT_TRUE((reader).join((port), (nick), "#art")) << (reader).error().toStdString()
// An IRC server on loopback, and a plain reader joined to its channel.
#define SERVER_AND_READER()     \
    IrcPeers::Server server;    \
    START_SERVER(server);       \
    IrcPeers::Reader reader;    \
    JOIN(reader, server.port(), "reader")
#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

inline const QByteArray kRed = "\x03" "4red art\x0F";

// Skips the test, saying why, when a program it needs is not installed.
#define NEED(program)                                                                       \
    do {                                                                                    \
        if (QStandardPaths::findExecutable(QStringLiteral(program)).isEmpty())             \
            GTEST_SKIP() << program " is not installed; this test needs it";                \
    } while (false)

inline bool weechatHasFifo()
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
inline QString longPage()
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
inline QByteArray clipboardByXclip()
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

inline void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

inline void press(QWidget* w)
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

inline QStringList weechatOptions(const QString& dir, const QString& buffer = QStringLiteral("irc.local.#art"))
{
    return {QStringLiteral("--weechat"), dir, QStringLiteral("--buffer"), buffer, QStringLiteral("--irc-pace"),
            QStringLiteral("off")};
}

inline bool roomSays(const ChatClientLauncher& client, const QString& text, int ms = 20000)
{
    return waitUntil([&] { return client.dump().contains(text); }, ms);
}

inline bool seen(const IrcPeers::Reader& reader, const QByteArray& command)
{
    for (const IrcPeers::Line& l : reader.lines())
        if (l.command == command)
            return true;
    return false;
}


} // namespace RelayTest
