#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/chatops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "macroshop/scrolllines.h"
#include "platform/chatbus.h"
#include "platform/codepage.h"

#include <QElapsedTimer>
#include <QTimer>

using namespace CommonKit;
using ChatBus::HWND;

// The shop against a chat client that misbehaves: the stand-in client runs as its own process on
// the test's private bus with a fault switched on.
class BrokenClient : public ShopTest {
protected:
    bool start(const QStringList& options)
    {
        client_ = std::make_unique<ChatClientLauncher>(options);
        return client_->start();
    }
    void TearDown() override
    {
        ShopTest::TearDown();
        client_.reset();
    }
    int windowCount() const { return int(client_->dump().count('\n')); }

    std::unique_ptr<ChatClientLauncher> client_;
};

#define START(...) ASSERT_TRUE(start({__VA_ARGS__})) << client_->error().toStdString()

TEST_F(BrokenClient, ARoomWalkLedInACircleEndsAndSendsNothing)
{
    START("--room-behind", "--same-room");
    EXPECT_NE(FindMainFrame(), 0u);
    EXPECT_EQ(FindChatRoom(), 0u);
    EXPECT_EQ(FindChatRoomClassic(), 0u);
    EXPECT_EQ(SendChatText("lost"), 0u);
    EXPECT_EQ(SendChatTextAny("lost"), 0u);
    EXPECT_TRUE(client_->transcript().isEmpty());
}

TEST_F(BrokenClient, StartUpReachesTheMainWindowWhenTheRoomLookupGoesRound)
{
    START("--room-behind", "--same-room");
    writeSettings();
    frmmain& main = launch(); // the staged start-up sends the load banner
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(client_->transcript().isEmpty());
}

TEST_F(BrokenClient, NewModalWindowsForEveryLookupDoNotRunTheWalksOnForEver)
{
    START("--endless-modals");
    const int before = windowCount();
    EXPECT_EQ(FindUploadWindow(), 0u);
    const int walked = windowCount() - before;
    EXPECT_GT(walked, 1) << "the fault is on";
    EXPECT_LE(walked, 100);
    SetUpchat(true); // looks for the upload window too, and finds none
}

// A clock on which each turn of the event loop takes a second: a wait that does not check its
// limit while it processes events would outlast it by far.
class SlowEventsClock : public FakeClock {
public:
    int turns = 0;
    void processEvents() override
    {
        ++turns;
        mono += 1.0;
        now += 1.0;
    }
};

TEST_F(BrokenClient, KillWaitKeepsItsLimitWhileTheClientShowsNewWindows)
{
    START("--endless-modals");
    SlowEventsClock slow;
    Clock::install(&slow);
    const double start = slow.monotonic();
    EXPECT_FALSE(ClickWaitWindow());
    const double took = slow.monotonic() - start;
    Clock::install(&clock);
    EXPECT_GE(took, ClickWaitTimeout);
    EXPECT_LE(took, ClickWaitTimeout + 2);
    EXPECT_GT(slow.turns, 0) << "the window stays live during the walk";
}

TEST_F(BrokenClient, ASlowClientGetsTheMessageAndTheWindowStaysLiveMeanwhile)
{
    START("--delay", "150");
    int ticks = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start();
    EXPECT_NE(SendChatText("slow but sure"), 0u);
    tick.stop();
    EXPECT_GT(ticks, 0) << "timers ran while the client was answering";
    const auto lines = client_->transcript();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].bytes, QByteArray("slow but sure"));
}

TEST_F(BrokenClient, AHangingClientCostsAnOperationNoMoreThanItsDeadline)
{
    START();
    ASSERT_NE(FindMainFrame(), 0u);
    client_->freeze();
    {
        // A stopped client is given up at once, and the rest of the operation asks it nothing.
        ChatBus::Operation op(0.05);
        EXPECT_EQ(FindMainFrame(), 0u);
        EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::Expired(); }));
        EXPECT_EQ(FindChatRoom(), 0u);
    }
    EXPECT_FALSE(ChatBus::Expired());
    client_->thaw();
    EXPECT_NE(FindMainFrame(), 0u);
}

// Lines of 20,000 to 100,000 characters keep the client busy well past a short time-out: the
// line after each must still arrive, after it.
TEST_F(BrokenClient, HugeMacroLinesAndTheShortLinesAfterThemAllArriveInOrderAtBothPaces)
{
    START();
    QString macro;
    QList<QByteArray> expected;
    const QByteArray suffix = CodePage::fromUnicode(MacroLineSuffix());
    for (const int size : {20000, 50000, 100000}) {
        const QString line = QString(size, QLatin1Char('#'));
        const QString after = QStringLiteral("after %1").arg(size);
        macro += line + QStringLiteral("\r\n") + after + QStringLiteral("\r\n");
        expected << line.toLatin1() + suffix << after.toLatin1() + suffix;
    }
    ScrollLines(macro, 0.2, 0.02, 14); // the quick pace
    ScrollLines(macro, 3.4, 0.07, 4);  // the slow pace
    const auto lines = client_->transcript();
    QList<QByteArray> arrived;
    for (const auto& line : lines)
        arrived << line.bytes;
    ASSERT_EQ(arrived.size(), 2 * expected.size());
    EXPECT_EQ(arrived.mid(0, expected.size()), expected);
    EXPECT_EQ(arrived.mid(expected.size()), expected);
}

TEST_F(BrokenClient, AClientAnsweringLaterThanAQuarterSecondStillGetsEveryLine)
{
    START("--delay", "250");
    ScrollLines(QStringLiteral("one\r\ntwo\r\nthree"), 0.2, 0.02, 14);
    const auto lines = client_->transcript();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].bytes.startsWith("one "));
    EXPECT_TRUE(lines[1].bytes.startsWith("two "));
    EXPECT_TRUE(lines[2].bytes.startsWith("three "));
}

TEST_F(BrokenClient, AClientWorkingLongerThanItsIdleBoundOnALineStillGetsTheNextOne)
{
    START("--busy", "2800"); // longer than any quick time-out
    ScrollLines(QStringLiteral("heavy\r\nnext"), 0.2, 0.02, 14);
    const auto lines = client_->transcript();
    ASSERT_EQ(lines.size(), 2) << "the line after a long post is not sent into nothing";
    EXPECT_TRUE(lines[0].bytes.startsWith("heavy "));
    EXPECT_TRUE(lines[1].bytes.startsWith("next "));
}

TEST_F(BrokenClient, AClientThatNeitherAnswersNorWorksIsGivenUpForTheRestOfTheOperation)
{
    START("--delay", "8000"); // asleep in every call: no CPU spent, no answer
    const quint64 before = ChatBus::CallsSent();
    {
        ChatBus::Operation op(2.0);
        EXPECT_EQ(FindMainFrame(), 0u);
        EXPECT_TRUE(ChatBus::Expired());
        EXPECT_EQ(SendChatText(QStringLiteral("lost")), 0u);
    }
    EXPECT_EQ(ChatBus::CallsSent() - before, 1u) << "the rest of the operation asks nothing";
}

TEST_F(BrokenClient, AClientThatLeavesTheBusMidCallEndsTheWait)
{
    START("--delay", "8000");
    QTimer::singleShot(100, [this] { client_->stop(); });
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(FindMainFrame(), 0u);
    EXPECT_LT(waited.elapsed(), 2000)
        << "the wait ends when the client leaves, not at some time-out";
    EXPECT_EQ(FindMainFrame(), 0u) << "gone: answered at once";
}

// A client that is there but slow is waited on: neither a call nor an operation of many calls
// gives it up at some quick time-out.
TEST_F(BrokenClient, AClientAsleepLongerThanTwoSecondsInACallIsWaitedOnForItsAnswer)
{
    START("--delay", "2500"); // asleep in every call: no CPU spent
    EXPECT_NE(FindMainFrame(), 0u);
    EXPECT_EQ(ChatBus::TakeLoss(), ChatBus::Loss::None);
}

// Asleep on a timer past five seconds uses no CPU at all, as a hung client would: while its
// process is not stopped it is waited on, and its answer counts.
TEST_F(BrokenClient, AClientAsleepLongerThanFiveSecondsInACallIsStillWaitedOnForItsAnswer)
{
    START("--delay", "6000");
    QElapsedTimer took;
    took.start();
    EXPECT_NE(FindMainFrame(), 0u);
    EXPECT_GE(took.elapsed(), 6000) << "the answer came from the sleeper itself";
    EXPECT_EQ(ChatBus::TakeLoss(), ChatBus::Loss::None);
}

// Stopped while asleep in a call: given up as soon as it is seen stopped, not when its sleep ends.
TEST_F(BrokenClient, AClientStoppedWhileAsleepInACallIsGivenUpAtOnce)
{
    START("--delay", "3000");
    QTimer::singleShot(200, [this] { client_->freeze(); });
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(FindMainFrame(), 0u);
    EXPECT_LT(took.elapsed(), 2500) << "the wait ended before the client's own sleep did";
    EXPECT_EQ(ChatBus::TakeLoss(), ChatBus::Loss::Stopped);
    client_->thaw();
}

TEST_F(BrokenClient, ARoomWalkOfManySlowCallsFindsTheRoomPastTwoSeconds)
{
    START("--delay", "700");
    QElapsedTimer took;
    took.start();
    EXPECT_NE(FindChatRoom(), 0u);
    EXPECT_GT(took.elapsed(), 2000) << "the walk took longer than the old operation deadline";
    EXPECT_FALSE(ChatBus::Expired());
}
