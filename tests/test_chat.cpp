#include "support/helpers.h"
#include "chat/chatops.h"
#include "platform/chatbus.h"
#include "platform/clock.h"
#include "support/chatclientlauncher.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace CommonKit;
using ChatBus::HWND;

namespace {

// Time that passes only when the code under test waits.
class FakeClock : public Clock::Source {
public:
    double secondsSinceMidnight() const override { return std::fmod(now, 86400.0); }
    double monotonic() const override { return now; }
    void wait(double seconds) override
    {
        shortest = std::min(shortest, seconds);
        longest = std::max(longest, seconds);
        ++waits;
        now += seconds;
        if (onWait)
            onWait(now);
    }
    void processEvents() override {}

    double now = 1000.0;
    int waits = 0;
    double shortest = 1e9;
    double longest = 0;
    std::function<void(double)> onWait;
};

struct InstalledClock {
    explicit InstalledClock(Clock::Source* source) { Clock::install(source); }
    ~InstalledClock() { Clock::install(nullptr); }
};


#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

HWND child(HWND parent, const char* cls, HWND after = 0)
{
    return ChatBus::FindWindowExA(parent, after, cls);
}

} // namespace

TEST(chatRoom, FoundBehindChildrenThatAreNotRooms)
{
    ChatClientLauncher client({QStringLiteral("--room-behind")});
    START(client);

    const HWND room = FindChatRoom();
    ASSERT_NE(room, 0u);
    EXPECT_EQ(ReadWindowText(room), QStringLiteral("Lobby 1"));
    EXPECT_NE(child(child(FindMainFrame(), "MDIClient"), "Chat Child"), room) << "the layout puts others first";
    EXPECT_EQ(FindChatRoomClassic(), 0u);

    EXPECT_NE(SendChatText(QStringLiteral("hello")), 0u);
    const auto lines = client.transcript();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].room, QByteArray("Lobby 1"));
    EXPECT_EQ(lines[0].bytes, QByteArray("hello"));
}

TEST(chatRoom, ClassicRoomIsReachedOnlyByTheAnyVariant)
{
    ChatClientLauncher client({QStringLiteral("--classic")});
    START(client);

    EXPECT_EQ(FindChatRoom(), 0u);
    const HWND classic = FindChatRoomClassic();
    ASSERT_NE(classic, 0u);
    EXPECT_EQ(SendChatText(QStringLiteral("lost")), 0u);
    EXPECT_EQ(SendChatTextAny(QStringLiteral("classic hi")), child(classic, "_Chat_Edit"));

    const auto lines = client.transcript();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].room, QByteArray("Lobby 1"));
    EXPECT_EQ(lines[0].bytes, QByteArray("classic hi"));
}

TEST(chatRoom, MultiLineTextArrivesAsOneMessageWithItsExactBytes)
{
    ChatClientLauncher client;
    START(client);

    const QString art = QStringLiteral("\u2039 q \u203A \u00BB\r\n<b>s</b> \u00B9\u00B7\u00B9 | < A HREF=\"http://x\">x</A>\r\nend");
    const QByteArray bytes("\x8b q \x9b \xbb\r\n<b>s</b> \xb9\xb7\xb9 | < A HREF=\"http://x\">x</A>\r\nend");
    const HWND input = SendChatText(art);
    ASSERT_NE(input, 0u);
    SendChatText(QStringLiteral("a\nb"));

    const auto lines = client.transcript();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].bytes, bytes);
    EXPECT_EQ(lines[1].bytes, QByteArray("a\nb")) << "the bytes go unchanged, a lone LF included";
    EXPECT_LE(lines[0].time, lines[1].time);
    EXPECT_EQ(ReadWindowText(input), QString()) << "Enter empties the input";
    const HWND transcript = child(FindChatRoom(), "RICHCNTL");
    EXPECT_TRUE(ReadWindowText(transcript).contains(art));
}

TEST(chatRoom, ReadWindowTextReadsTheWholeText)
{
    ChatClientLauncher client({QStringLiteral("--upload")});
    START(client);

    const HWND status = child(FindUploadWindow(), "_Chat_Static");
    EXPECT_EQ(ReadWindowText(status), QStringLiteral("Files: 1 Upload 40%"));
    EXPECT_EQ(ReadWindowText(0), QString());
}

TEST(chatNoClient, EveryOperationGivesZeroAtOnceAndSaysNothing)
{
    // A client under another name sees whether anything reached it.
    ChatClientLauncher elsewhere({}, QStringLiteral("org.quorl.Elsewhere"));
    START(elsewhere);
    const QString before = elsewhere.dump();
    ASSERT_FALSE(before.isEmpty());

    static QStringList said;
    said.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { said << text; });
    FakeClock clock;
    InstalledClock installed(&clock);

    QElapsedTimer timer;
    timer.start();
    QByteArray text("untouched");
    EXPECT_EQ(ChatBus::FindWindowA("Chat Frame25"), 0u);
    EXPECT_EQ(ChatBus::FindWindowExA(0, 0, "Chat Frame25"), 0u);
    EXPECT_EQ(ChatBus::SendMessageA(4096, ChatBus::WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(ChatBus::SendMessageA(4096, ChatBus::WM_SETTEXT, 0, QByteArray("x")), 0);
    EXPECT_EQ(ChatBus::SendMessageA(4096, ChatBus::WM_GETTEXT, 100, &text), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(ChatBus::PostMessageA(4096, ChatBus::WM_CHAR, 13, 0));
    EXPECT_FALSE(ChatBus::EnableWindow(4096, false));
    EXPECT_EQ(ChatBus::GetMenu(4096), 0u);
    EXPECT_EQ(ChatBus::GetSubMenu(4097, 4), 0u);
    EXPECT_EQ(ChatBus::GetMenuItemID(4098, 10), ChatBus::NoMenuItem);

    EXPECT_EQ(FindMainFrame(), 0u);
    EXPECT_EQ(FindChatRoom(), 0u);
    EXPECT_EQ(FindChatRoomClassic(), 0u);
    EXPECT_EQ(SendChatText(QStringLiteral("a")), 0u);
    EXPECT_EQ(SendChatTextAny(QStringLiteral("a")), 0u);
    EXPECT_EQ(RunKeyword(QStringLiteral("chat://9293:pal")), 0u);
    EXPECT_EQ(RunMenuCommand(4, 10), 0u);
    EXPECT_EQ(SendInstantMessage(QStringLiteral("pal"), QStringLiteral("sup")), 0u);
    EXPECT_EQ(ReadWindowText(4096), QString());
    EXPECT_EQ(FindUploadWindow(), 0u);
    SetUpchat(true);
    SetUpchat(false);
    EXPECT_FALSE(ClickWaitWindow());
    const qint64 elapsedMs = timer.elapsed();
    qInstallMessageHandler(previous);

    // Each of the ~40 calls blocking for its time-out would take seconds.
    EXPECT_LT(elapsedMs, 1000);
    EXPECT_TRUE(said.isEmpty()) << said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(elsewhere.transcript().isEmpty());
    EXPECT_EQ(elsewhere.dump(), before);
}

TEST(chatNoClient, AClientThatDoesNotAnswerCostsOnlyTheShortTimeOut)
{
    ChatClientLauncher client;
    START(client);
    ASSERT_NE(FindMainFrame(), 0u);
    client.freeze();

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(FindMainFrame(), 0u);
    EXPECT_LT(timer.elapsed(), 1000);
    client.thaw();
}

TEST(chatKeyword, InstantMessageWindowOpensAndIsFilledWithoutSending)
{
    ChatClientLauncher client;
    START(client);

    const HWND box = SendInstantMessage(QStringLiteral("Pal"), QStringLiteral("sup \u00B9\u00B7\u00B9"));
    ASSERT_NE(box, 0u);
    const HWND im = ChatBus::FindWindowExA(child(FindMainFrame(), "MDIClient"), 0, "Chat Child", "Send Instant Message");
    EXPECT_EQ(child(im, "RICHCNTL"), box);
    EXPECT_EQ(ReadWindowText(child(im, "_Chat_Static")), QStringLiteral("To: Pal"));
    QByteArray bytes;
    ChatBus::SendMessageA(box, ChatBus::WM_GETTEXT, 100, &bytes);
    EXPECT_EQ(bytes, QByteArray("sup \xb9\xb7\xb9"));
    EXPECT_TRUE(client.transcript().isEmpty()) << "nothing is clicked";

    // The message window now stands before the room; the room is still found.
    EXPECT_NE(FindChatRoom(), im);
    SendChatText(QStringLiteral("still here"));
    ASSERT_EQ(client.transcript().size(), 1);
    EXPECT_EQ(client.transcript()[0].room, QByteArray("Lobby 1"));
}

TEST(chatKeyword, RoomLinkGoesToThatRoomAndAddressShowsInIt)
{
    ChatClientLauncher client;
    START(client);

    ASSERT_NE(RunKeyword(QStringLiteral("chat://2719:2-2-Art Room")), 0u);
    EXPECT_EQ(ReadWindowText(FindChatRoom()), QStringLiteral("Art Room"));
    SendChatText(QStringLiteral("hi art"));
    RunKeyword(QStringLiteral("http://quorl.example/"));
    EXPECT_TRUE(ReadWindowText(child(FindChatRoom(), "RICHCNTL")).contains(QStringLiteral("http://quorl.example/")));

    const auto lines = client.transcript();
    ASSERT_EQ(lines.size(), 1) << "an address is shown, not posted";
    EXPECT_EQ(lines[0].room, QByteArray("Art Room"));
}

TEST(chatWaitWindow, MenuCommandOpensItAndTheClickClosesIt)
{
    ChatClientLauncher client;
    START(client);
    FakeClock clock;
    InstalledClock installed(&clock);

    EXPECT_EQ(RunMenuCommand(4, 99), 0u);
    EXPECT_EQ(ChatBus::FindWindowA("_Chat_Modal"), 0u);
    for (const int menu : {4, 5}) {
        EXPECT_NE(RunMenuCommand(menu, 10), 0u);
        const HWND wait = ChatBus::FindWindowA("_Chat_Modal");
        ASSERT_NE(wait, 0u) << "menu " << menu;
        ASSERT_NE(child(wait, "_Chat_Icon"), 0u);
        EXPECT_TRUE(ClickWaitWindow());
        EXPECT_TRUE(TestHelpers::eventually([&] { return !client.isWindow(wait); })) << "menu " << menu;
    }
}

TEST(chatWaitWindow, ClickReachesAWaitWindowBehindOtherModals)
{
    ChatClientLauncher client({QStringLiteral("--upload"), QStringLiteral("--wait")});
    START(client);
    FakeClock clock;
    InstalledClock installed(&clock);
    const HWND first = ChatBus::FindWindowA("_Chat_Modal");
    ASSERT_NE(first, 0u);
    ASSERT_EQ(child(first, "_Chat_Icon"), 0u) << "the layout puts the transfer windows first";
    const HWND upload = FindUploadWindow();

    ASSERT_TRUE(ClickWaitWindow());
    EXPECT_TRUE(TestHelpers::eventually([&] { return !client.dump().contains(QStringLiteral("Please Wait")); }));
    EXPECT_TRUE(client.isWindow(first));
    EXPECT_TRUE(client.isWindow(upload));
}

TEST(chatWaitWindow, GivesUpAfterThirtySecondsPollingSteadily)
{
    ChatClientLauncher client;
    START(client);
    FakeClock clock;
    InstalledClock installed(&clock);

    EXPECT_FALSE(ClickWaitWindow());
    const double elapsed = clock.now - 1000.0;
    EXPECT_GE(elapsed, 30.0);
    EXPECT_LT(elapsed, 30.2);
    EXPECT_GE(clock.shortest, 0.05);
    EXPECT_LE(clock.longest, 0.1);
}

TEST(chatWaitWindow, ClicksAWaitWindowThatOpensLater)
{
    ChatClientLauncher client;
    START(client);
    FakeClock clock;
    InstalledClock installed(&clock);
    clock.onWait = [](double now) {
        if (now >= 1005.0 && ChatBus::FindWindowA("_Chat_Modal") == 0)
            RunMenuCommand(4, 10);
    };

    EXPECT_TRUE(ClickWaitWindow());
    EXPECT_LT(clock.now - 1000.0, 5.2);
    EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::FindWindowA("_Chat_Modal") == 0; }));
}

TEST(chatUpload, FoundPastAnotherModalOnlyWhenUploading)
{
    {
        ChatClientLauncher client({QStringLiteral("--wait")});
        START(client);
        EXPECT_EQ(FindUploadWindow(), 0u);
    }
    ChatClientLauncher client({QStringLiteral("--upload")});
    START(client);
    const HWND first = ChatBus::FindWindowA("_Chat_Modal");
    const HWND upload = FindUploadWindow();
    ASSERT_NE(upload, 0u);
    EXPECT_NE(upload, first);
    EXPECT_NE(child(upload, "_Chat_Gauge"), 0u);
    // The modal before it says " Upload" too but has no gauge.
    EXPECT_EQ(child(first, "_Chat_Gauge"), 0u);
    EXPECT_TRUE(ReadWindowText(child(first, "_Chat_Static")).contains(QStringLiteral(" Upload")));
}

TEST(chatUpload, UpchatHandsTheFrameBackAndForth)
{
    ChatClientLauncher client({QStringLiteral("--upload")});
    START(client);
    const HWND frame = FindMainFrame();
    const HWND upload = FindUploadWindow();
    const HWND other = ChatBus::FindWindowA("_Chat_Modal");
    ASSERT_NE(upload, 0u);
    ASSERT_FALSE(client.isEnabled(frame));
    ASSERT_TRUE(client.isEnabled(upload));

    SetUpchat(true);
    EXPECT_TRUE(client.isEnabled(frame));
    EXPECT_FALSE(client.isEnabled(upload));
    EXPECT_TRUE(client.isEnabled(other));

    SetUpchat(false);
    EXPECT_FALSE(client.isEnabled(frame));
    EXPECT_TRUE(client.isEnabled(upload));
    EXPECT_TRUE(client.isWindow(upload));
}

// The room's input is kept between messages and looked up again when the room it stood for is no
// longer the one a walk of the window tree would find.
class KeptRoom : public ::testing::Test {
protected:
    // Sends and says how many calls it took.
    quint64 callsFor(const QString& text, HWND* input = nullptr)
    {
        const quint64 before = ChatBus::CallsSent();
        const HWND used = SendChatText(text);
        if (input)
            *input = used;
        return ChatBus::CallsSent() - before;
    }
    static QList<QByteArray> rooms(const ChatClientLauncher& client)
    {
        QList<QByteArray> seen;
        for (const auto& line : client.transcript())
            seen << line.room + ": " + line.bytes;
        return seen;
    }
};

TEST_F(KeptRoom, AMessageCostsThreeCallsAndARoomClosedAndReopenedIsLookedUpAgain)
{
    ChatClientLauncher client;
    START(client);
    HWND first = 0, again = 0, reopened = 0, kept = 0;
    EXPECT_GT(callsFor(QStringLiteral("one"), &first), 3u) << "the first message walks the tree";
    ASSERT_NE(first, 0u);
    EXPECT_LE(callsFor(QStringLiteral("two"), &again), 3u);
    EXPECT_EQ(again, first);

    const HWND room = FindChatRoom();
    ChatBus::SendMessageA(room, 0x0010, 0, 0); // WM_CLOSE
    ASSERT_FALSE(client.isWindow(first));
    ASSERT_NE(RunKeyword(QStringLiteral("chat://2719:1-1-Lobby 1")), 0u);
    ASSERT_NE(FindChatRoom(), room) << "a new room with new handles";

    EXPECT_GT(callsFor(QStringLiteral("three"), &reopened), 3u);
    EXPECT_NE(reopened, first);
    EXPECT_TRUE(client.isWindow(reopened));
    EXPECT_LE(callsFor(QStringLiteral("four"), &kept), 3u);
    EXPECT_EQ(kept, reopened);
    EXPECT_EQ(rooms(client), (QList<QByteArray>{"Lobby 1: one", "Lobby 1: two", "Lobby 1: three", "Lobby 1: four"}));
}

TEST_F(KeptRoom, ARoomBroughtToTheFrontTakesTheNextMessageAsAWalkWould)
{
    ChatClientLauncher client;
    START(client);
    SendChatText(QStringLiteral("lobby"));
    RunKeyword(QStringLiteral("chat://2719:4-1207-quorl art den")); // opens in front
    SendChatText(QStringLiteral("den"));
    RunKeyword(QStringLiteral("chat://2719:1-1-Lobby 1")); // still open: raised
    SendChatText(QStringLiteral("lobby again"));
    SendChatText(QStringLiteral("and on"));
    EXPECT_EQ(rooms(client), (QList<QByteArray>{"Lobby 1: lobby", "quorl art den: den", "Lobby 1: lobby again",
                                                "Lobby 1: and on"}));
}

TEST_F(KeptRoom, ARoomBehindOtherWindowsThatClosesIsNotSentIntoAndFoundWhenBack)
{
    ChatClientLauncher client({QStringLiteral("--room-behind")});
    START(client);
    ASSERT_NE(SendChatText(QStringLiteral("before")), 0u);
    const HWND mdi = child(FindMainFrame(), "MDIClient");
    const HWND front = child(mdi, "Chat Child");
    ChatBus::SendMessageA(FindChatRoom(), 0x0010, 0, 0);
    ASSERT_EQ(child(mdi, "Chat Child"), front) << "the windows in front stay as they were";
    EXPECT_EQ(SendChatText(QStringLiteral("no room")), 0u);
    RunKeyword(QStringLiteral("chat://2719:1-1-Lobby 1"));
    EXPECT_NE(SendChatText(QStringLiteral("after")), 0u);
    EXPECT_EQ(rooms(client), (QList<QByteArray>{"Lobby 1: before", "Lobby 1: after"}));
}

TEST_F(KeptRoom, AClientThatEndsAndStartsAgainIsLookedUpAfreshThoughItsHandlesAreTheSame)
{
    HWND before = 0;
    {
        ChatClientLauncher usual;
        START(usual);
        before = SendChatText(QStringLiteral("first client"));
        ASSERT_NE(before, 0u);
    }
    // The classic layout numbers its windows alike: the same handle is its classic input now.
    ChatClientLauncher classic({QStringLiteral("--classic")});
    START(classic);
    ASSERT_EQ(child(FindChatRoomClassic(), "_Chat_Edit"), before);
    EXPECT_EQ(SendChatText(QStringLiteral("not into a classic room")), 0u);
    EXPECT_EQ(SendChatTextAny(QStringLiteral("classic")), before);
    EXPECT_EQ(rooms(classic), (QList<QByteArray>{"Lobby 1: classic"}));
}
