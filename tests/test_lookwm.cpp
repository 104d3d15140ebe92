// The macro shop under a real window manager: minimized and given back by the window manager,
// moved while it fills the screen, widened beside the main window's stack. Each test runs on a
// private X display with openbox (tests/desktop/run-desktop-test.sh); the window manager's own
// answers are read back from the display with xprop and xdotool.
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmasc.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "macroshop/frmdraw.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu6.h"
#include "platform/twips.h"
#include "skin/dirlist.h"
#include "skin/frmloadskin.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

void press(QWidget* w)
{
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The window's ICCCM state as the window manager set it: "Normal", "Iconic" or "" (withdrawn).
QString wmState(QWidget* w)
{
    const QString out = run("xprop", {"-id", QString::number(w->winId()), "WM_STATE"});
    if (out.contains("Iconic"))
        return "Iconic";
    if (out.contains("Normal"))
        return "Normal";
    return {};
}

// The window mapped on the display, as xwininfo reads it.
bool viewable(QWidget* w)
{
    return run("xwininfo", {"-id", QString::number(w->winId())}).contains("IsViewable");
}

} // namespace

class WindowManagerLook : public ShopTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X display with a window manager";
        for (const char* tool : {"xdotool", "xprop", "xwininfo"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed; this test needs it";
        ShopTest::SetUp();
        TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/linen"), path("skins/linen"));
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
    }

    frmmain& main() { return Forms::get<frmmain>(); }

    // The main window with its indicator and options panel, at the screen's top left.
    frmmain& shown(int left = 60, int top = 60)
    {
        frmmain& m = main();
        m.show();
        m.Timer8->stop();
        m.move(left, top);
        Forms::get<frmrect>().show();
        m.Dock();
        Forms::get<frmrect>().Label4_Click();
        m.Dock();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
        return m;
    }

    QRect stack()
    {
        QRect r;
        for (QWidget* w : QList<QWidget*>{&main(), &Forms::get<frmrect>(), Forms::loaded<ops>()})
            if (w && w->isVisible())
                r = r.united(w->frameGeometry());
        return r;
    }

    // "&load skin" to skins/linen, "&Ok" and "Yes".
    void reskin()
    {
        press(main().Label2);
        click(Forms::get<menu1>().item("&load skin"));
        frmloadskin* dialog = Forms::loaded<frmloadskin>();
        ASSERT_TRUE(dialog && dialog->isVisible());
        TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
        TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/linen"));
        prompts.answers = {Prompts::Answer::Yes};
        click(dialog->Label3);
        QCoreApplication::processEvents();
        ASSERT_EQ(Forms::loaded<frmloadskin>(), nullptr);
    }

    // The window menu by a right press on the title, and one of its items.
    void windowMenu(frmdraw& shop, const QString& item)
    {
        QTest::mousePress(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
        QTest::mouseRelease(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
        mnu6& menu = Forms::get<mnu6>();
        ASSERT_TRUE(menu.isVisible());
        click(menu.item(item));
    }
};

TEST_F(WindowManagerLook, AShopMinimizedByItsButtonAndGivenBackByTheWindowManagerStaysNormalThroughASkinChange)
{
    shown();
    frmdraw& shop = Forms::get<frmdraw>();
    shop.move(500, 100);
    shop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shop));
    QTest::mouseClick(shop.Label9, Qt::LeftButton, {}, shop.Label9->rect().center());
    ASSERT_TRUE(TestHelpers::eventually([&] { return wmState(&shop) == "Iconic"; })) << "the \"_\" minimized it";
    // A task bar asks the window manager to activate the window, which maps it again.
    run("xdotool", {"windowactivate", QString::number(shop.winId())});
    ASSERT_TRUE(TestHelpers::eventually([&] { return wmState(&shop) == "Normal" && viewable(&shop); }));

    reskin();
    EXPECT_TRUE(TestHelpers::eventually([&] { return wmState(&shop) == "Normal" && viewable(&shop); }))
        << "the shop came back as \"" << wmState(&shop).toStdString() << "\"";
    EXPECT_TRUE(shop.isVisible());
    EXPECT_FALSE(shop.isMinimized());
    // Minimized for real, it still goes to the task bar and comes back as it was.
    QTest::mouseClick(shop.Label9, Qt::LeftButton, {}, shop.Label9->rect().center());
    EXPECT_TRUE(TestHelpers::eventually([&] { return wmState(&shop) == "Iconic"; }));
}

TEST_F(WindowManagerLook, AMoveOfTheFilledShopEndsTheFilledStateAndADoubleClickOnTheTitleStillFillsAndRestores)
{
    shown();
    frmdraw& shop = Forms::get<frmdraw>();
    shop.move(500, 100);
    shop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shop));
    const QSize designed = shop.size();
    windowMenu(shop, "&maximize");
    ASSERT_TRUE(shop.isFilling());
    ASSERT_TRUE(TestHelpers::eventually([&] { return shop.frameGeometry().height() > designed.height() * 1.5; }));

    // "&move", the pointer carried 150 pixels right and down, a click to end the move.
    windowMenu(shop, "&move");
    const QPoint from = QCursor::pos();
    for (int step = 1; step <= 10; ++step) {
        run("xdotool", {"mousemove", QString::number(from.x() + 15 * step), QString::number(from.y() + 15 * step)});
        QCoreApplication::processEvents();
    }
    run("xdotool", {"click", "1"});
    const QRect screen = shop.screen()->availableGeometry();
    EXPECT_TRUE(TestHelpers::eventually([&] { return !shop.isFilling() && shop.size() == designed; }))
        << "filling " << shop.isFilling() << ", " << shop.width() << "x" << shop.height();
    EXPECT_TRUE(screen.contains(shop.frameGeometry())) << "the moved shop is on the screen";

    // The title's double-click fills the screen again, and the next one brings the size back.
    QTest::mouseDClick(shop.Label1, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_TRUE(shop.isFilling());
    QTest::mouseDClick(shop.Label1, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_FALSE(shop.isFilling());
    EXPECT_EQ(shop.size(), designed);
    EXPECT_TRUE(screen.contains(shop.frameGeometry()));
}

TEST_F(WindowManagerLook, TheWidenedShopStaysClearOfTheStackItWasPlacedBeside)
{
    // The stack at the right; the panel's macro shop button places the shop clear of it, and the
    // wider shop would grow under it.
    frmmain& m = shown();
    const QRect screen = m.screen()->availableGeometry();
    m.move(screen.right() - 20 - m.frameGeometry().width(), screen.top() + 250);
    m.Dock();
    ASSERT_TRUE(TestHelpers::eventually([&] { return stack().right() >= screen.right() - 30; }));
    click(Forms::loaded<ops>()->Label3);
    frmdraw* shop = Forms::loaded<frmdraw>();
    ASSERT_TRUE(shop && shop->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(shop));
    frmasc* map = Forms::loaded<frmasc>();
    ASSERT_TRUE(map && map->isVisible());
    ASSERT_FALSE(shop->frameGeometry().intersects(stack()));
    const QPoint normalAt = shop->pos();
    ASSERT_TRUE(shop->frameGeometry().adjusted(0, 0, Twips::toPixels(9000 - 5430), 0).intersects(stack()))
        << "the widened shop would run under the stack where it stands: shop " << shop->x() << "," << shop->y()
        << " " << shop->width() << " stack " << stack().x() << "," << stack().y() << " " << stack().width();

    press(shop->Label3);
    click(Forms::get<mnu2>().Label1[1]);
    ASSERT_TRUE(shop->isWide());
    EXPECT_TRUE(TestHelpers::eventually([&] {
        return !shop->frameGeometry().intersects(stack()) && !map->frameGeometry().intersects(stack());
    })) << "shop " << shop->x() << "," << shop->y() << " map " << map->x() << " stack " << stack().left();
    EXPECT_TRUE(screen.contains(shop->frameGeometry()));
    EXPECT_TRUE(screen.contains(map->frameGeometry()));
    EXPECT_EQ(map->frameGeometry().right() + 1, shop->frameGeometry().left()) << "the map stays docked";
    EXPECT_NE(shop->pos(), normalAt);
}
