#include "support/shoptest.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/frmwelcome.h"
#include "editor/decorations.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/mainmenus.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu5.h"
#include "editor/menu7.h"
#include "editor/mintotray.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "help/frmhelp.h"
#include "platform/codepage.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

// A mouse event at a point given in twips, relative to the widget.
void mouse(QWidget* w, QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(Twips::toPixels(x), Twips::toPixels(y));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void ctrlKey(QWidget* w, Qt::Key key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(key - Qt::Key_A + 1)));
    QCoreApplication::sendEvent(w, &e);
}

QString cp(const QByteArray& bytes) { return CodePage::toUnicode(bytes); }

// What a label shows, whichever text format it uses.
QString shownText(const QLabel* label)
{
    if (label->textFormat() == Qt::PlainText)
        return label->text();
    return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
}

} // namespace

class MainWindow : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        // Past the first runs, so no welcome window takes the focus.
        CommonKit::SetSetting("LOADED", "5");
    }

    frmmain& main() { return Forms::get<frmmain>(); }
    frmrect& rect() { return Forms::get<frmrect>(); }
    menu2& options() { return Forms::get<menu2>(); }

    // The main window with its indicator docked under it, without the staged start-up.
    frmmain& shown(int left = 1500, int top = 1500)
    {
        frmmain& m = main();
        m.show();
        m.Timer8->stop();
        m.moveTwips(left, top);
        rect().show();
        m.Dock();
        // Let the window system settle who has the focus before the test opens menus.
        QCoreApplication::processEvents();
        return m;
    }

    void openOptionsPanel()
    {
        if (!rect().optionsOpen())
            rect().Label4_Click();
    }

    bool docked()
    {
        frmmain& m = main();
        bool ok = rect().Left() == m.Left() && rect().Top() == m.Top() + m.Height();
        if (ops* o = Forms::loaded<ops>(); o && o->isVisible())
            ok = ok && o->Left() == m.Left() && o->Top() == rect().Top() + rect().Height();
        return ok;
    }

    int screenW() const { return Twips::screenWidth(); }
    int screenH() const { return Twips::screenHeight(); }
};

// ---- pages in use and the active page ----

TEST_F(MainWindow, WithoutAPageCheckThePagesAndStringListAreHidden)
{
    frmmain& m = main();
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(m.page(n)->isHidden()) << n;
    EXPECT_TRUE(m.List1->isHidden());
}

TEST_F(MainWindow, PickingText3ClearsShowsAllAndEnablesAndActivatesOnlyPage3)
{
    frmmain& m = shown();
    m.setPageTexts({"a", "b", "c", "d"});
    m.Label3->click();
    ASSERT_TRUE(options().isVisible());
    options().item("&text3")->click();
    EXPECT_FALSE(options().isVisible());
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(m.page(n)->text(), "") << n;
        EXPECT_FALSE(m.page(n)->isHidden()) << n;
        EXPECT_EQ(m.page(n)->isEnabled(), n == 3) << n;
    }
    EXPECT_FALSE(m.List1->isHidden());
    EXPECT_EQ(m.activePage(), 3);
    EXPECT_TRUE(options().pageChecked(3));
    EXPECT_FALSE(options().allChecked());
}

TEST_F(MainWindow, PickingAllFourPagesInTurnShowsAllFiveChecksAndLeavesPage4Active)
{
    frmmain& m = main();
    for (const char* item : {"&text1", "&text2", "&text3", "&text4"}) {
        EXPECT_FALSE(options().allChecked()) << item;
        options().item(item)->click();
    }
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(options().pageChecked(n)) << n;
    EXPECT_TRUE(options().allChecked());
    EXPECT_EQ(m.pageTimer, (std::array<bool, 4>{false, false, false, true}));
}

TEST_F(MainWindow, UncheckingPagesAndAllTextboxes)
{
    frmmain& m = main();
    options().item("&all textboxes")->click();
    EXPECT_TRUE(options().allChecked());
    EXPECT_EQ(m.activePage(), 1);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(m.page(n)->isEnabled()) << n;
        EXPECT_TRUE(options().pageChecked(n)) << n;
    }
    m.page(2)->setText("kept");
    options().item("&text2")->click();
    EXPECT_FALSE(options().allChecked());
    EXPECT_FALSE(options().pageChecked(2));
    EXPECT_FALSE(m.page(2)->isEnabled());
    EXPECT_EQ(m.page(2)->text(), "kept");
    EXPECT_TRUE(m.page(1)->isEnabled());
    options().item("&text3")->click(); // checked: stops page 3, which was not running anyway
    EXPECT_EQ(m.activePage(), 1);
    // "&all textboxes" shown again hides everything and stops every page
    options().item("&text2")->click();
    options().item("&text3")->click();
    ASSERT_TRUE(options().allChecked());
    options().item("&all textboxes")->click();
    EXPECT_FALSE(options().allChecked());
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(m.page(n)->isHidden()) << n;
    EXPECT_EQ(m.activePage(), 0);
}

// ---- the docked stack ----

TEST_F(MainWindow, RollingMovesTheIndicatorAndAnOpenOptionsPanelAlong)
{
    frmmain& m = shown();
    openOptionsPanel();
    Forms::get<menu1>().rollItem->click();
    EXPECT_EQ(m.Height(), 550);
    EXPECT_EQ(Forms::get<menu1>().rollCaption(), "&roll down");
    EXPECT_TRUE(docked());
    EXPECT_EQ(Forms::get<ops>().Top(), m.Top() + 550 + rect().Height());
    m.Label1_DblClick();
    EXPECT_EQ(m.Height(), 2250);
    EXPECT_EQ(Forms::get<menu1>().rollCaption(), "&roll up");
    EXPECT_TRUE(docked());
}

TEST_F(MainWindow, ADragBelowTheScreenIsPulledBackByTheOverhang)
{
    frmmain& m = shown(1500, 1500);
    mouse(m.Label1, QEvent::MouseButtonPress, 300, 100);
    ASSERT_TRUE(m.pressPoint().has_value());
    const int down = screenH(); // far past the bottom
    mouse(m.Label1, QEvent::MouseMove, 300, 100 + down);
    EXPECT_EQ(m.Top(), 1500 + down);
    EXPECT_TRUE(docked());
    mouse(m.Label1, QEvent::MouseButtonRelease, 300, 100 + down);
    EXPECT_EQ(m.Top(), screenH() - m.Height() - rect().Height());
    EXPECT_EQ(m.Left(), 1500);
    EXPECT_TRUE(docked());
    EXPECT_FALSE(m.pressPoint().has_value());
}

TEST_F(MainWindow, KeepingOnScreenCountsAnOpenOptionsPanelAndTheOtherEdges)
{
    frmmain& m = shown(1500, 1500);
    openOptionsPanel();
    mouse(m.Label1, QEvent::MouseButtonPress, 300, 100);
    mouse(m.Label1, QEvent::MouseMove, 300 + screenW(), 100 + screenH());
    mouse(m.Label1, QEvent::MouseButtonRelease, 300 + screenW(), 100 + screenH());
    EXPECT_EQ(m.Left(), screenW() - m.Width());
    EXPECT_EQ(m.Top(), screenH() - m.Height() - rect().Height() - Forms::get<ops>().Height());
    EXPECT_TRUE(docked());
    mouse(m.Label1, QEvent::MouseButtonPress, 300, 100);
    mouse(m.Label1, QEvent::MouseMove, 300 - 2 * screenW(), 100 - 2 * screenH());
    mouse(m.Label1, QEvent::MouseButtonRelease, 0, 0);
    EXPECT_EQ(m.Left(), 0);
    EXPECT_EQ(m.Top(), 0);
    EXPECT_TRUE(docked());
}

TEST_F(MainWindow, AfterACaptionDragTheIndicatorShowsPage0UntilTheNextTick)
{
    frmmain& m = shown();
    options().item("&text2")->click();
    m.Text2->setText("abc");
    EXPECT_TRUE(rect().indicatorText().endsWith("  :  3 . 2"));
    mouse(m.Label1, QEvent::MouseButtonPress, 300, 100);
    mouse(m.Label1, QEvent::MouseMove, 330, 130);
    mouse(m.Label1, QEvent::MouseButtonRelease, 330, 130);
    EXPECT_EQ(rect().indicatorText(), m.IndicatorText(0));
    m.TrackingTick();
    EXPECT_EQ(rect().indicatorText(), m.IndicatorText(2));
}

TEST_F(MainWindow, OpeningTheOptionsPanelNearTheBottomMovesTheStackUp)
{
    frmmain& m = shown(1500, screenH() - 2250 - 330 - 300);
    openOptionsPanel();
    ops& panel = Forms::get<ops>();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(rect().Label4->caption(), "5");
    EXPECT_EQ(panel.Top() + panel.Height(), screenH());
    EXPECT_TRUE(docked());
    rect().Label4_Click();
    EXPECT_EQ(rect().Label4->caption(), "6");
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(m.Top(), screenH() - m.Height() - rect().Height() - panel.Height());
}

// ---- caption buttons and the window menu ----

TEST_F(MainWindow, RightReleaseOnTheTitleOpensTheWindowMenuOnlyInsideItsZone)
{
    frmmain& m = shown(1500, 1500);
    auto windowMenuShown = [] { return Forms::loaded<menu7>() && Forms::loaded<menu7>()->isVisible(); };
    mouse(m.Label1, QEvent::MouseButtonPress, 300, 105, Qt::RightButton);
    EXPECT_FALSE(m.pressPoint().has_value()); // the right button starts no drag
    mouse(m.Label1, QEvent::MouseButtonRelease, 4005, 105, Qt::RightButton);
    EXPECT_FALSE(windowMenuShown());
    mouse(m.Label1, QEvent::MouseButtonRelease, 105, 240, Qt::RightButton);
    EXPECT_FALSE(windowMenuShown());
    mouse(m.Label1, QEvent::MouseButtonRelease, -135, 105, Qt::RightButton);
    EXPECT_FALSE(windowMenuShown());
    mouse(m.Label1, QEvent::MouseButtonRelease, 3720, 225, Qt::RightButton);
    EXPECT_TRUE(windowMenuShown());
    Forms::get<menu7>().hide();
    m.Label1_MouseUp(Qt::RightButton, 4000, 100);
    EXPECT_FALSE(windowMenuShown());
    m.Label1_MouseUp(Qt::RightButton, 100, 100);
    menu7& window = Forms::get<menu7>();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.Left(), m.Left() + 240);
    EXPECT_EQ(window.Top(), m.Top() + 145);
    // the window menu blocks the roll of a double-click
    m.Label1_DblClick();
    EXPECT_EQ(m.Height(), 2250);
    // a left release does not open it
    window.hide();
    mouse(m.Label1, QEvent::MouseButtonRelease, 100, 100);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindow, TheWindowMenuIsPulledOntoTheScreen)
{
    frmmain& m = shown(screenW() - 3720, screenH() - 600);
    m.ShowWindowMenu(3720, 230);
    menu7& window = Forms::get<menu7>();
    EXPECT_EQ(window.Left() + window.Width(), screenW());
    EXPECT_EQ(window.Top() + window.Height(), screenH());
}

TEST_F(MainWindow, WindowMenuItems)
{
    frmmain& m = shown();
    openOptionsPanel();
    menu7& window = Forms::get<menu7>();
    auto open = [&] { m.ShowWindowMenu(100, 100); };
    open();
    window.item("&size")->click();
    window.item("&restore")->click();
    EXPECT_TRUE(window.isVisible());
    window.item("&maximize")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(m.isMaximized());
    open();
    window.maximizeGlyph->click();
    EXPECT_FALSE(window.isVisible());
    open();
    window.item("&minimize")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(m.isMinimized());
    EXPECT_FALSE(rect().isVisible());
    EXPECT_FALSE(Forms::get<ops>().isVisible());
    EXPECT_TRUE(m.restoreWatch());
    m.showNormal();
    EXPECT_FALSE(m.restoreWatch());
    EXPECT_TRUE(rect().isVisible());
    EXPECT_TRUE(Forms::get<ops>().isVisible());
    EXPECT_TRUE(docked());
    open();
    window.item("&close")->click();
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(CommonKit::Setting("OPTIONSWIN"), "True");
}

TEST_F(MainWindow, MinimizeButtonActsOnReleaseOverIt)
{
    frmmain& m = shown();
    mouse(m.Label6, QEvent::MouseButtonPress, 100, 100);
    mouse(m.Label6, QEvent::MouseButtonRelease, 100, 300);
    mouse(m.Label6, QEvent::MouseButtonRelease, 100, 100, Qt::RightButton);
    EXPECT_FALSE(m.isMinimized());
    mouse(m.Label6, QEvent::MouseButtonRelease, 100, 240);
    EXPECT_TRUE(m.isMinimized());
    EXPECT_FALSE(rect().isVisible());
    m.showNormal();
    EXPECT_TRUE(rect().isVisible());
    EXPECT_TRUE(Forms::loaded<ops>() == nullptr || !Forms::loaded<ops>()->isVisible());
}

TEST_F(MainWindow, MinToTrayPutsTheStackAwayUntilASecondLaunchWakesIt)
{
    frmmain& m = shown();
    openOptionsPanel();
    EXPECT_FALSE(MinToTray::WakeRunningShop()); // nothing hidden: a second launch goes its own way
    Forms::get<menu1>().item("&min to tray")->click();
    // This desktop has no tray, so the main window is minimized rather than hidden.
    EXPECT_TRUE(m.isMinimized());
    EXPECT_FALSE(rect().isVisible());
    EXPECT_FALSE(Forms::get<ops>().isVisible());
    EXPECT_TRUE(MinToTray::IsHidden());
    ASSERT_TRUE(MinToTray::WakeRunningShop());
    QDeadlineTimer deadline(5000);
    while (m.isMinimized() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(m.isMinimized());
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(rect().isVisible());
    EXPECT_TRUE(Forms::get<ops>().isVisible());
    EXPECT_FALSE(MinToTray::IsHidden());
}

// ---- the background and the indicator ----

TEST_F(MainWindow, IndicatorTextGivesPixelsCaretAndPage)
{
    frmmain& m = main();
    m.move(96, 120);
    m.Text2->setText("abcdefgh");
    m.Text2->setCursorPosition(5);
    EXPECT_EQ(m.IndicatorText(2), "96 . 120  :  5 . 2");
    m.Text1->setText("xy");
    EXPECT_EQ(m.IndicatorText(0), "96 . 120  :  2 . 0");
}

TEST_F(MainWindow, TheActivePageWritesTheIndicatorAsItsCaretMoves)
{
    frmmain& m = shown();
    options().item("&text2")->click();
    m.Text2->setText("abcdefgh");
    m.Text2->setCursorPosition(4);
    EXPECT_EQ(rect().indicatorText(), m.IndicatorText(2));
    EXPECT_TRUE(rect().indicatorText().endsWith("4 . 2"));
    m.Text1->setCursorPosition(0); // not the active page
    EXPECT_TRUE(rect().indicatorText().endsWith("4 . 2"));
}

TEST_F(MainWindow, BackgroundPressShowsThePointerWhileNoPageIsActive)
{
    frmmain& m = shown();
    mouse(&m, QEvent::MouseButtonPress, 1500, 300);
    mouse(&m, QEvent::MouseMove, 1800, 450);
    EXPECT_EQ(rect().indicatorText(), "1800 . 450");
    mouse(&m, QEvent::MouseButtonRelease, 1800, 450);
    EXPECT_EQ(rect().indicatorText(), m.IndicatorText(0));
    // a press at the left edge records X 0, which shows nothing
    mouse(&m, QEvent::MouseButtonPress, 0, 300);
    mouse(&m, QEvent::MouseMove, 1800, 450);
    EXPECT_EQ(rect().indicatorText(), m.IndicatorText(0));
    mouse(&m, QEvent::MouseButtonRelease, 1800, 450);
    // with a page active the press records nothing
    options().item("&text1")->click();
    const QString before = rect().indicatorText();
    mouse(&m, QEvent::MouseButtonPress, 1500, 300);
    mouse(&m, QEvent::MouseMove, 1800, 450);
    EXPECT_EQ(rect().indicatorText(), before);
}

TEST_F(MainWindow, BackgroundPressClosesTheFilesOptionsAndWindowMenus)
{
    frmmain& m = shown();
    m.Label2->click();
    m.ShowWindowMenu(100, 100);
    ASSERT_TRUE(Forms::get<menu1>().isVisible());
    mouse(&m, QEvent::MouseButtonPress, 1500, 300);
    EXPECT_FALSE(Forms::get<menu1>().isVisible());
    EXPECT_FALSE(Forms::get<menu7>().isVisible());
}

TEST_F(MainWindow, TheIndicatorCountsTheFirstStartAndTheWelcomeFollowsTheCount)
{
    CommonKit::SetSetting("LOADED", "0");
    frmrect& r = rect();
    EXPECT_EQ(r.Label5->caption(), "1");
    EXPECT_EQ(shownText(r.Label5), "1");
    EXPECT_EQ(CommonKit::Setting("LOADED"), "1");
    // once per run: loading the panel again does not count again
    Forms::unload<frmrect>();
    QCoreApplication::processEvents();
    EXPECT_EQ(rect().Label5->caption(), "1");
    EXPECT_EQ(CommonKit::Setting("LOADED"), "1");
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(&main(), &in);
    ASSERT_NE(Forms::loaded<frmwelcome>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmwelcome>()->isVisible());
}

TEST_F(MainWindow, ASecondStartShowsNoWelcome)
{
    CommonKit::SetSetting("LOADED", "1");
    EXPECT_EQ(rect().Label5->caption(), "2");
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(&main(), &in);
    EXPECT_EQ(Forms::loaded<frmwelcome>(), nullptr);
}

TEST_F(MainWindow, TheClockUsesTheShopClock)
{
    clock.now = 13 * 3600 + 5 * 60 + 9.25;
    rect().refreshClock();
    EXPECT_EQ(rect().Label2->text(), frmrect::ClockText(QTime(13, 5, 9)));
    EXPECT_TRUE(rect().Label2->text().contains("05")) << rect().Label2->text().toStdString();
}

// ---- the caption menus ----

TEST_F(MainWindow, PressingAMenuCaptionTwiceClosesTheMenu)
{
    frmmain& m = shown(1500, 1500);
    mouse(m.Label2, QEvent::MouseButtonPress, 50, 50);
    menu1& files = Forms::get<menu1>();
    ASSERT_TRUE(files.isVisible());
    EXPECT_EQ(files.Left(), m.Left() + 60);
    EXPECT_EQ(files.Top(), m.Top() + 550);
    mouse(m.Label2, QEvent::MouseButtonRelease, 50, 50);
    EXPECT_TRUE(files.isVisible());
    mouse(m.Label2, QEvent::MouseButtonPress, 50, 50);
    EXPECT_FALSE(files.isVisible());
    // the right button opens nothing
    mouse(m.Label2, QEvent::MouseButtonPress, 50, 50, Qt::RightButton);
    EXPECT_FALSE(files.isVisible());
}

TEST_F(MainWindow, CaptionMenusCloseEachOtherButHelpClosesNone)
{
    frmmain& m = shown(1500, 1500);
    m.Label2->click();
    m.Label3->click();
    EXPECT_FALSE(Forms::get<menu1>().isVisible());
    EXPECT_TRUE(options().isVisible());
    EXPECT_EQ(options().Left(), m.Left() + 600);
    m.Label4->click();
    EXPECT_TRUE(options().isVisible());
    PopupMenuForm* help = MainMenus::Caption(3, false);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Left(), m.Left() + 1750);
    m.Label5->click();
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(MainMenus::Caption(2, false)->Left(), m.Left() + 1300);
}

TEST_F(MainWindow, HoveringAnotherCaptionWhileAMenuIsOpenSwitchesMenus)
{
    frmmain& m = shown(1500, 1500);
    mouse(m.Label3, QEvent::MouseMove, 50, 50, Qt::NoButton);
    EXPECT_EQ(Forms::loaded<menu2>() == nullptr || !options().isVisible(), true); // nothing open: nothing opens
    m.Label2->click();
    mouse(m.Label4, QEvent::MouseMove, 50, 50, Qt::NoButton);
    EXPECT_FALSE(Forms::get<menu1>().isVisible());
    EXPECT_TRUE(MainMenus::Caption(3, false)->isVisible());
}

TEST_F(MainWindow, AMenuThatWouldLeaveTheScreenTakesTheMainWindowUp)
{
    frmmain& m = shown(1500, screenH() - 2250 - 330);
    m.Label3->click();
    EXPECT_EQ(options().Top(), screenH() - options().Height());
    EXPECT_EQ(m.Top(), options().Top() - 2250 + 1695);
    EXPECT_TRUE(docked());
    m.Label3->click();
    m.RollUpDown();
    m.moveTwips(1500, screenH() - 550 - 330);
    m.Label3->click();
    EXPECT_EQ(m.Top(), options().Top() - 550);
}

TEST_F(MainWindow, ActivatingAnotherApplicationClosesTheOpenMenu)
{
    frmmain& m = shown();
    m.Label2->click();
    ASSERT_TRUE(Forms::get<menu1>().isVisible());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(Forms::get<menu1>().isVisible());
}

TEST_F(MainWindow, FocusOutsideTheMainWindowAndItsMenusClosesThem)
{
    frmmain& m = shown();
    m.Label3->click();
    options().OpenOtherOptions(true);
    menu5& sub = Forms::get<menu5>();
    ASSERT_TRUE(sub.isVisible());
    m.FocusWatch(m.windowHandle());
    m.FocusWatch(sub.windowHandle());
    EXPECT_TRUE(options().isVisible());
    EXPECT_TRUE(sub.isVisible());
    m.FocusWatch(rect().windowHandle());
    EXPECT_FALSE(options().isVisible());
    EXPECT_FALSE(sub.isVisible());
    m.Label2->click();
    m.FocusWatch(nullptr); // no window of this program has the focus
    EXPECT_FALSE(Forms::get<menu1>().isVisible());
}

TEST_F(MainWindow, TheOptionsMenuStaysOpenWhileItsSubmenuIsVisible)
{
    frmmain& m = shown(1500, 1500);
    m.Label3->click();
    EXPECT_TRUE(options().mayHideOnFocusLoss());
    options().otherOptions->click();
    menu5& sub = Forms::get<menu5>();
    ASSERT_TRUE(sub.isVisible());
    EXPECT_EQ(sub.Left(), std::min(options().Left() + 2220, screenW() - sub.Width()));
    EXPECT_EQ(sub.Top(), std::min(options().Top() + 3750, screenH() - sub.Height()));
    EXPECT_FALSE(options().mayHideOnFocusLoss());
    // hovering the item keeps it open; a second click closes it
    mouse(options().otherOptions, QEvent::MouseMove, 100, 100, Qt::NoButton);
    EXPECT_TRUE(sub.isVisible());
    options().otherOptions->click();
    EXPECT_FALSE(sub.isVisible());
    mouse(options().otherOptions, QEvent::MouseMove, 100, 100, Qt::NoButton);
    EXPECT_TRUE(sub.isVisible());
}

TEST_F(MainWindow, SubmenuItemsCloseTheSubmenuAndMostAlsoTheOptionsMenu)
{
    frmmain& m = shown(1500, 1500);
    m.Label3->click();
    options().OpenOtherOptions(true);
    QCoreApplication::processEvents(); // the submenu has the focus
    menu5& sub = Forms::get<menu5>();
    sub.item("&scroll greets")->click();
    EXPECT_FALSE(sub.isVisible());
    EXPECT_TRUE(options().isVisible());
    options().OpenOtherOptions(true);
    sub.item("&im me")->click();
    EXPECT_FALSE(sub.isVisible());
    EXPECT_FALSE(options().isVisible());
    m.Label3->click();
    options().OpenOtherOptions(true);
    sub.item("&beta testers")->click();
    EXPECT_FALSE(options().isVisible());
    EXPECT_TRUE(Forms::loaded<frmhelp>() && Forms::loaded<frmhelp>()->isVisible());
}

TEST_F(MainWindow, TopAndBottomSeparatorsHideOnlyForExactlyFalse)
{
    auto setSep = [&](const char* value) {
        QString ini = QString::fromLatin1(readBytes("skins/default/skin.ini"));
        ini.replace(QRegularExpression("topnbottomsep=[^\\r\\n]*"), QString("topnbottomsep=") + value);
        writeBytes("skins/default/skin.ini", ini.toLatin1());
    };
    setSep("false");
    for (const QFrame* line : Forms::get<menu7>().lines())
        EXPECT_FALSE(line->isHidden());
    Forms::unload<menu7>();
    QCoreApplication::processEvents();
    setSep("False");
    for (PopupMenuForm* menu : {static_cast<PopupMenuForm*>(&Forms::get<menu7>()),
                                static_cast<PopupMenuForm*>(&Forms::get<menu5>()),
                                static_cast<PopupMenuForm*>(&Forms::get<menu2>())}) {
        const QList<QFrame*>& lines = menu->lines();
        ASSERT_GE(lines.size(), 3) << menu->objectName().toStdString();
        EXPECT_TRUE(lines.first()->isHidden()) << menu->objectName().toStdString();
        EXPECT_TRUE(lines.last()->isHidden()) << menu->objectName().toStdString();
        EXPECT_FALSE(lines[1]->isHidden()) << menu->objectName().toStdString();
    }
}

// ---- editing keys and decorations ----

class Decorating : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        options().item("&all textboxes")->click();
    }
};

TEST_F(Decorating, CtrlBOnEmptyPagesLeavesPair4OnEachWithTheCaretAtTheEnd)
{
    frmmain& m = main();
    random.draws = {drawOf(4)};
    ctrlKey(m.Text3, Qt::Key_B);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(CodePage::fromUnicode(m.page(n)->text()), QByteArray("\xB4\xAF\x60\xB7\x2E\x2E\xB7\xB4\xAF\x60")) << n;
        EXPECT_EQ(m.page(n)->cursorPosition(), 10) << n;
    }
}

TEST_F(Decorating, PairsNestAndSelectionsAreDropped)
{
    frmmain& m = main();
    m.setPageTexts({"abcd", "abcd", "abcd", ""});
    m.Text2->setSelection(1, 2);
    random.draws = {drawOf(1), drawOf(2)};
    ctrlKey(m.Text1, Qt::Key_B);
    EXPECT_EQ(m.Text1->text(), cp("\xA4\x95") + "abcd" + cp("\x95\xA4"));
    EXPECT_FALSE(m.Text2->hasSelectedText());
    ctrlKey(m.Text4, Qt::Key_B);
    EXPECT_EQ(m.Text1->text(), cp("\x8B\xAB\x96\xA4\x95") + "abcd" + cp("\x95\xA4\x96\x9B\xBB"));
    EXPECT_EQ(m.Text2->text(), m.Text1->text());
    EXPECT_EQ(m.Text4->text(), cp("\x8B\xAB\x96\xA4\x95\x95\xA4\x96\x9B\xBB"));
    EXPECT_EQ(m.Text3->cursorPosition(), m.Text3->text().size());
}

TEST_F(Decorating, Draws0And10ChangeNothingAndTheMenuStillCloses)
{
    frmmain& m = shown();
    m.setPageTexts({"a", "b", "c", "d"});
    m.Text2->setSelection(0, 1);
    random.draws = {drawOf(0), drawOf(10)};
    m.Label3->click();
    options().Label8->click();
    EXPECT_FALSE(options().isVisible());
    m.Label3->click();
    options().Label14->click();
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(m.pageTexts(), (Pages::Four{"a", "b", "c", "d"}));
    EXPECT_EQ(m.Text2->selectedText(), "b");
}

TEST_F(Decorating, GenAsciiDecoratesAndTheDrawCoversOnlyFourteenPairs)
{
    frmmain& m = main();
    random.draws = {drawOf(15 - 1)};
    options().Label8->click();
    EXPECT_EQ(CodePage::fromUnicode(m.Text1->text()), QByteArray("\xF7\xB1\xBB\xAB\xB1\xF7"));
    random.draws = {0.9999999};
    EXPECT_EQ(Decorations::Draw(), 14);
    EXPECT_FALSE(Decorations::PairFor(10).has_value());
    EXPECT_FALSE(Decorations::PairFor(0).has_value());
}

TEST_F(Decorating, APagePast32767CharactersIsWrappedWhole)
{
    frmmain& m = main();
    m.Text1->setText(QString(40000, 'x'));
    random.draws = {drawOf(12)};
    Decorations::DecorateAllPages();
    EXPECT_EQ(m.Text1->text().size(), 40006);
    EXPECT_TRUE(m.Text1->text().endsWith(cp("x\x2D\xA5\xB1")));
    EXPECT_EQ(m.Text1->cursorPosition(), 40006);
}

TEST_F(Decorating, CtrlASelectsOnlyInTheActivePage)
{
    frmmain& m = main();
    m.setPageTexts({"one", "two", "", ""});
    m.Text2->setCursorPosition(1);
    ctrlKey(m.Text2, Qt::Key_A); // page 1 is active
    EXPECT_FALSE(m.Text2->hasSelectedText());
    EXPECT_EQ(m.Text2->text(), "two");
    ctrlKey(m.Text1, Qt::Key_A);
    EXPECT_EQ(m.Text1->selectedText(), "one");
    EXPECT_EQ(m.Text1->selectionStart(), 0);
}

// ---- the edit-handle dialog ----

TEST_F(MainWindow, EditHandleStoresTheNameInLowerCase)
{
    frmmain& m = shown();
    Forms::get<frmhandle>().Text1->setText("other");
    Forms::get<frmhandle>().Label4->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmhandle>(), nullptr);
    EXPECT_EQ(CommonKit::Setting("HANDLE"), "tester");
    options().item("&edit handle")->click();
    frmhandle& dialog = Forms::get<frmhandle>();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Text1->text(), "tester");
    dialog.Text1->setText("MiXeD Name");
    dialog.Label3->click();
    EXPECT_EQ(CommonKit::Setting("HANDLE"), "mixed name");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Handle was changed successfully...");
    EXPECT_EQ(prompts.messages[0].title, "GLY");
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(rect().isVisible());
}
