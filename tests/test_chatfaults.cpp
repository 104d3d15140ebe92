#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/chatops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "platform/chatbus.h"

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
        // Outside any chat operation each call has its own short time-out; inside one, once the
        // deadline has passed, the remaining calls answer 0 without asking.
        ChatBus::Operation op(0.05);
        EXPECT_EQ(FindMainFrame(), 0u);
        EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::Expired(); }));
        EXPECT_EQ(FindChatRoom(), 0u);
    }
    EXPECT_FALSE(ChatBus::Expired());
    client_->thaw();
    EXPECT_NE(FindMainFrame(), 0u);
}
