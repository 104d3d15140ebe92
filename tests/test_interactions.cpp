// The windows driven as a user drives them: mouse and keys through the window system's path
// (so the application hands out the focus and a double click arrives as press, release,
// double-click, release), bytes read at the stand-in chat client, files read back from disk.
#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "app/startup.h"
#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/mintotray.h"
#include "editor/pageedit.h"
#include "platform/progfolder.h"
#include "app/extract.h"
#include "app/handle.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace CommonKit;

namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

QPoint inWindow(QWidget* w) { return w->mapTo(w->window(), w->rect().center()); }
QWindow* windowOf(QWidget* w) { return w->window()->windowHandle(); }

// A click activates its window, as the window manager does.
void activate(QWidget* w)
{
    if (!w->window()->isActiveWindow()) {
        w->window()->activateWindow();
        QApplication::processEvents();
    }
}
void click(QWidget* w, Qt::MouseButton button = Qt::LeftButton)
{
    activate(w);
    QTest::mouseClick(windowOf(w), button, {}, inWindow(w));
}
void doubleClick(QWidget* w)
{
    activate(w);
    QTest::mouseDClick(windowOf(w), Qt::LeftButton, {}, inWindow(w));
}

// What arrived at the client, past the first skip messages (the start-up banner).
QList<QByteArray> messages(const ChatClientLauncher& client, qsizetype skip = 0)
{
    QList<QByteArray> out;
    for (const auto& line : client.transcript())
        out << line.bytes;
    return out.mid(skip);
}

} // namespace

// A ready shop: settings of a second start, the staged start-up run, the stack shown.
class Shop : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        SetSetting("LOADED", "5"); // no welcome window takes the focus
    }
    frmmain& launch(const QString& commandLine = {})
    {
        frmmain& main = ShopTest::launch(commandLine);
        QApplication::processEvents();
        return main;
    }
    frmmain& withPages(const Pages::Four& texts)
    {
        frmmain& main = launch();
        Forms::get<menu2>().checkAll();
        main.setPageTexts(texts);
        return main;
    }
    ops& optionsPanel()
    {
        frmrect& rect = Forms::get<frmrect>();
        if (!rect.optionsOpen())
            click(rect.Label4);
        return Forms::get<ops>();
    }
    PushLabel* item(PopupMenuForm& menu, const QString& caption)
    {
        PushLabel* i = menu.item(caption);
        EXPECT_NE(i, nullptr) << caption.toStdString();
        return i;
    }
};

// ---- a double click runs a click action once ----

TEST_F(Shop, ADoubleClickIsOnePressOneClickAndOneDoubleClick)
{
    frmmain& main = launch();
    PushLabel* files = main.Label2;
    QSignalSpy presses(files, &MouseLabel::mousePressed);
    QSignalSpy clicks(files, &MouseLabel::clicked);
    QSignalSpy doubles(files, &MouseLabel::doubleClicked);
    QSignalSpy releases(files, &MouseLabel::mouseReleased);
    doubleClick(files);
    EXPECT_EQ(presses.size(), 1);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(doubles.size(), 1);
    EXPECT_EQ(releases.size(), 2);
    // The double click left the Files menu open: one press opened it, nothing closed it.
    EXPECT_TRUE(Forms::get<menu1>().isVisible());
}

TEST_F(Shop, APushLabelClicksOnlyForALeftPressAndReleaseOnIt)
{
    frmmain& main = launch();
    PushLabel* files = main.Label2;
    activate(files);
    QSignalSpy clicks(files, &MouseLabel::clicked);
    QSignalSpy releases(files, &MouseLabel::mouseReleased);
    QWindow* window = windowOf(files);
    const QPoint centre = inWindow(files);
    const QPoint outside = files->mapTo(files->window(), QPoint(files->width() + 30, files->height() / 2));

    // Pressed on it, let go beside it: the release reports, nothing clicks.
    QTest::mousePress(window, Qt::LeftButton, {}, centre);
    QTest::mouseMove(window, outside);
    QTest::mouseRelease(window, Qt::LeftButton, {}, outside);
    EXPECT_EQ(releases.size(), 1);
    EXPECT_EQ(clicks.size(), 0);

    // The right button never clicks.
    QTest::mouseClick(window, Qt::RightButton, {}, centre);
    EXPECT_EQ(clicks.size(), 0);

    QTest::mouseClick(window, Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicks.size(), 1);
    // A double click after it adds one click, not two.
    QTest::mouseDClick(window, Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicks.size(), 2);
}

TEST_F(Shop, KeysPressALabelAsItsMouseDoes)
{
    frmmain& main = launch();
    activate(main.Label2);
    // Alt and the underlined letter run the label's press: "&Files" opens its menu.
    QTest::keyClick(windowOf(main.Label2), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(Forms::get<menu1>().isVisible());

    // Space and Enter press a label that has the focus.
    QWidget window;
    PushLabel* ok = new PushLabel(QStringLiteral("&Ok"), &window);
    QSignalSpy clicks(ok, &MouseLabel::clicked);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ok->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(clicks.size(), 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 2);
    QTest::keyClick(window.windowHandle(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(clicks.size(), 3);
    QTest::keyClick(window.windowHandle(), Qt::Key_X);
    EXPECT_EQ(clicks.size(), 3);
}

TEST_F(Shop, DoubleClickingScrollAsciiSendsEachPageOnce)
{
    ChatClientLauncher client;
    START(client);
    withPages({"one", "", "three", ""});
    ops& panel = optionsPanel();
    const qsizetype banner = client.transcript().size();
    clock.waits.clear();
    doubleClick(panel.Label1);
    EXPECT_EQ(messages(client, banner), (QList<QByteArray>{"one", "three"}));
    EXPECT_EQ(clock.waits, (QList<double>{0.4, 0.4}));
}

// The page scroll tells a failed page as the macro scroll tells a failed line, and sends nothing
// after it: killed in the pause after the first page, stopped after the second.
TEST_F(Shop, AScrollAsciiToAClientThatWentAwayOrStoppedSaysHowFarItGot)
{
    ChatClientLauncher client;
    START(client);
    withPages({"one", "two", "three", ""});
    ops& panel = optionsPanel();
    const qsizetype banner = client.transcript().size();
    prompts.messages.clear();
    clock.onWait = [&](double) {
        if (messages(client, banner).size() == 2)
            client.freeze();
    };
    click(panel.Label1);
    clock.onWait = {};
    EXPECT_EQ(messages(client, banner), (QList<QByteArray>{"one", "two"}));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "The page scroll stopped after 2 of 3 pages: the chat client is stopped and "
                                        "does not answer, and the other pages were not sent.");
    client.thaw();

    prompts.messages.clear();
    clock.onWait = [&](double) {
        if (messages(client, banner).size() == 3)
            client.stop();
    };
    click(panel.Label1);
    clock.onWait = {};
    EXPECT_EQ(messages(client, banner), (QList<QByteArray>{"one", "two", "one"}));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "The page scroll stopped after 1 of 3 pages: the chat client went away, and "
                                        "the other pages were not sent.");
}

// A client stopped before the first page: nothing went, and the sentence says so.
TEST_F(Shop, AScrollAsciiToAStoppedClientSaysNoPageWent)
{
    ChatClientLauncher client;
    START(client);
    withPages({"one", "", "three", ""});
    ops& panel = optionsPanel();
    const qsizetype banner = client.transcript().size();
    prompts.messages.clear();
    client.freeze();
    click(panel.Label1);
    client.thaw();
    EXPECT_TRUE(messages(client, banner).isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              "The page scroll sent none of its 2 pages: the chat client is stopped and does not answer.");
}

TEST_F(Shop, AScrollAsciiWithoutAChatClientSaysNothing)
{
    withPages({"one", "", "three", ""});
    ops& panel = optionsPanel();
    prompts.messages.clear();
    clock.waits.clear();
    click(panel.Label1);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(clock.waits, (QList<double>{0.4, 0.4})) << "the pauses still run";
}

TEST_F(Shop, DoubleClickingLockBoxesLeavesThePagesLocked)
{
    frmmain& main = withPages({"a", "b", "c", "d"});
    ops& panel = optionsPanel();
    doubleClick(panel.Label4);
    EXPECT_EQ(panel.Label4->caption(), "&unlock");
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(main.page(n)->isReadOnly()) << n;
}

TEST_F(Shop, DoubleClickingImMeOpensOneMessageWindow)
{
    ChatClientLauncher client;
    START(client);
    launch();
    doubleClick(optionsPanel().Label10);
    ASSERT_TRUE(TestHelpers::eventually([&] { return client.dump().contains("Send Instant Message"); }));
    EXPECT_EQ(client.dump().count("Send Instant Message"), 1) << client.dump().toStdString();
}

// ---- the Edit menu opened with the mouse ----

TEST_F(Shop, TheEditMenuOpenedByMouseCutsTheSelectionOfThePageThatHadTheFocus)
{
    QApplication::clipboard()->clear();
    frmmain& main = withPages({"", "left right", "", ""});
    click(main.Text2);
    QTest::keyClick(main.Text2, Qt::Key_End);
    QTest::keyClick(main.Text2, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(main.Text2->selectedText(), "right");
    click(main.Label5);
    menu3& edit = Forms::get<menu3>();
    ASSERT_TRUE(edit.isVisible());
    click(item(edit, "&cut"));
    EXPECT_EQ(main.Text2->text(), "left ");
    EXPECT_EQ(QApplication::clipboard()->text(), "right");
    EXPECT_FALSE(edit.isVisible());

    // "&delete" acts on the active page's selection, which the press on the caption dropped.
    QTest::keyClick(main.Text2, Qt::Key_Home);
    QTest::keyClick(main.Text2, Qt::Key_Right, Qt::ShiftModifier);
    click(main.Label5);
    click(item(edit, "&delete"));
    EXPECT_EQ(main.Text2->text(), "eft ");
}

TEST_F(Shop, EditCommandsActOnNothingWhenTheFocusLeftThePages)
{
    QApplication::clipboard()->setText("kept");
    frmmain& main = withPages({"page text", "", "", ""});
    main.List1->AddString("~*~");
    click(main.Text1);
    main.Text1->selectAll();
    // A click on the string list inserts its entry into the page; then the focus is the list's.
    click(main.List1);
    const QString before = main.Text1->text();
    for (const QString caption : {"&cut", "&paste"}) {
        click(main.Label5);
        click(item(Forms::get<menu3>(), caption));
    }
    EXPECT_EQ(main.Text1->text(), before);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
}

// ---- a page is one line ----

TEST_F(Shop, PastingLinesIntoAPageKeepsTheFirstAndSurvivesQuitAndStart)
{
    frmmain& main = withPages({"", "", "", ""});
    QApplication::clipboard()->setText("a\r\nb");
    click(main.Text1);
    QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(main.Text1->text(), "a");
    // The Edit menu's paste and a lone LF or CR cut the same way.
    QApplication::clipboard()->setText("c\nd");
    click(main.Label5);
    click(item(Forms::get<menu3>(), "&paste"));
    EXPECT_EQ(main.Text1->text(), "ac");
    QApplication::clipboard()->setText("\re");
    QTest::keyClick(main.Text1, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(main.Text1->text(), "ac");

    click(main.Label2);
    click(item(Forms::get<menu1>(), "&close"));
    ASSERT_EQ(process.ends, 1);
    EXPECT_EQ(readBytes("output/text1.gly"), QByteArray("ac\r\n"));
    Forms::unloadAll();
    EXPECT_EQ(launch().Text1->text(), "ac");
}

// ---- what the chat client receives ----

TEST_F(Shop, APageGoesToTheChatClientByteForByte)
{
    ChatClientLauncher client;
    START(client);
    writeBytes("lines.gly", "x\ny\r\nx\ry\r\n");
    frmmain& main = launch(path("lines.gly"));
    ASSERT_EQ(main.Text1->text(), "x\ny");
    ASSERT_EQ(main.Text2->text(), "x");
    main.Text2->setText("x\ry");
    ops& panel = optionsPanel();
    const qsizetype banner = client.transcript().size();
    click(panel.Label1);
    EXPECT_EQ(messages(client, banner), (QList<QByteArray>{QByteArray("\x78\x0a\x79"), QByteArray("\x78\x0d\x79")}));
}

TEST_F(Shop, TheOptionsMenuAdvertizesThenCloses)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = launch();
    const qsizetype banner = client.transcript().size();
    click(main.Label3);
    menu2& options = Forms::get<menu2>();
    QList<bool> openDuringWaits;
    clock.onWait = [&](double) { openDuringWaits << options.isVisible(); };
    click(item(options, "&advertize"));
    EXPECT_EQ(openDuringWaits, QList<bool>{true});
    EXPECT_FALSE(options.isVisible());
    ASSERT_EQ(messages(client, banner).size(), 2);
    EXPECT_TRUE(messages(client, banner)[0].contains("<b>a</b>vertize"));
}

// ---- a program folder whose path the settings file cannot hold ----

TEST_F(Shop, AProgramFolderOutsideTheCodePageStaysSkinned)
{
    const QString folder = dir.path() + QStringLiteral("/\u0142\u00f3d\u017a/shop");
    TestHelpers::makeProgramFolder(folder);
    writeSettings();
    SetSetting("LOADED", "5");
    const QImage iface(folder + "/skins/default/iface.bmp");
    ASSERT_FALSE(iface.isNull());
    const auto paintsDefaultSkin = [&](frmmain& main) {
        const QImage shot = main.grab().toImage();
        const QPoint p(3, shot.height() - 3);
        return shot.pixelColor(p) == iface.pixelColor(p);
    };
    for (int start = 1; start <= 2; ++start) {
        frmmain& main = launch();
        EXPECT_TRUE(paintsDefaultSkin(main)) << "start " << start;
        click(main.Label2);
        click(item(Forms::get<menu1>(), "&close"));
        Forms::unloadAll();
        QApplication::processEvents();
    }
    // The path was never written, so it never came back as another one.
    EXPECT_EQ(Setting("SKIN"), "none");
    EXPECT_FALSE(readBytes(folder.mid(dir.path().size() + 1) + "/quorl.ini").contains('?'));
    // A folder stored by an earlier build, substitute bytes and all, falls back the same way.
    SetSetting("SKIN", dir.path() + "/?d?/shop/skins/default/");
    EXPECT_TRUE(paintsDefaultSkin(launch()));
    EXPECT_EQ(SkinFolder::ResolveSkinFolder(), folder + "/skins/default/");
}

// ---- a second launch while the shop is hidden to the tray ----

TEST_F(Shop, ASecondLaunchWithAFileWakesTheHiddenShopWhichOpensIt)
{
    frmmain& main = launch();
    writeBytes("art.gly", "first\r\nsecond\r\n");
    click(main.Label2);
    click(item(Forms::get<menu1>(), "&min to tray"));
    // Hidden to the tray, or minimized where the desktop has no tray.
    ASSERT_TRUE(MinToTray::IsHidden());
    ASSERT_TRUE(!main.isVisible() || main.isMinimized());

    QProcess second;
    second.setWorkingDirectory(dir.path()); // a path relative to the second launch
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORL_HOME", ProgramFolder::path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(QUORL_PROGRAM_PATH), {"art.gly"});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(TestHelpers::eventually(
        [&] { return main.isVisible() && !main.isMinimized() && main.Text2->text() == "second"; }))
        << "pages: " << main.Text1->text().toStdString();
    EXPECT_EQ(main.Text1->text(), "first");
    EXPECT_TRUE(Forms::get<menu2>().allChecked());
    EXPECT_TRUE(Forms::get<frmrect>().isVisible());
    EXPECT_FALSE(MinToTray::IsHidden());
    ASSERT_TRUE(TestHelpers::eventually([&] { return second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(second.exitCode(), 0) << "the second launch only hands the file over";
}

// ---- file dialogs and recent files ----

TEST_F(Shop, TheStackStepsAsideWhileAFileDialogIsOpen)
{
    frmmain& main = launch();
    optionsPanel();
    writeBytes("a\\b.gly", "back\\slash\r\n");
    QList<bool> shown;
    prompts.whileAsking = [&] {
        shown << main.isVisible() << Forms::get<frmrect>().isVisible() << Forms::get<ops>().isVisible();
    };
    prompts.fileNames = {path("a\\b.gly")};
    click(main.Label2);
    click(item(Forms::get<menu1>(), "&open ascii"));
    EXPECT_EQ(shown, (QList<bool>{false, false, false}));
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(Forms::get<frmrect>().isVisible());
    EXPECT_TRUE(Forms::get<ops>().isVisible());
    EXPECT_EQ(main.Text1->text(), "back\\slash");
    // "\" is part of the file's name here.
    EXPECT_EQ(Forms::get<menu1>().mru[0]->caption(), "a\\b.gly");

    shown.clear();
    click(Forms::get<frmrect>().Label4); // options panel closed: it stays away afterwards
    click(main.Label2);
    click(item(Forms::get<menu1>(), "&save ascii"));
    EXPECT_EQ(shown, (QList<bool>{false, false, false}));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(Forms::get<ops>().isVisible());
}

// ---- prompt dialogs: Enter, Esc and the preset answer ----

TEST_F(Shop, EnterAndEscInThePromptDialogsAndThePresetIsReplacedByTyping)
{
    launch();
    SetSetting("HANDLE", "tester");
    frmhandle& dialog = Forms::get<frmhandle>();
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.Text1->selectedText(), "tester");
    QTest::keyClicks(dialog.Text1, "NewNick");
    QTest::keyClick(dialog.Text1, Qt::Key_Return);
    EXPECT_EQ(Setting("HANDLE"), "newnick");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Handle was changed successfully...");

    frmhandle& again = Forms::get<frmhandle>();
    again.show();
    QApplication::processEvents();
    QTest::keyClicks(again.Text1, "other");
    QTest::keyClick(again.Text1, Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<frmhandle>(), nullptr);
    EXPECT_EQ(Setting("HANDLE"), "newnick");
}

TEST_F(Shop, TheLinkDialogTakesEnterAndEsc)
{
    launch();
    QApplication::clipboard()->clear();
    frmlink& dialog = Forms::get<frmlink>();
    dialog.show();
    dialog.Text1->setText("http://quorl.example/");
    QTest::keyClick(dialog.Text2, Qt::Key_Return);
    EXPECT_EQ(QApplication::clipboard()->text(), "< A HREF=\"http://quorl.example/\">Text to link</A>");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(Forms::loaded<frmlink>(), &dialog) << "Ok keeps the dialog open";
    QTest::keyClick(dialog.Text3, Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<frmlink>(), nullptr);
}

TEST_F(Shop, TheFirstRunHandleDialogTakesTypingAndEnter)
{
    QFile::remove(SettingsPath());
    Startup::Launch();
    handle& dialog = *Forms::loaded<handle>();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Text1->selectedText(), "handle");
    QTest::keyClicks(dialog.Text1, "Me");
    EXPECT_EQ(dialog.Text1->text(), "Me");
    QTest::keyClick(dialog.Text1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Setting("HANDLE"), "me");
    ASSERT_NE(Forms::loaded<extract>(), nullptr);
    EXPECT_TRUE(Forms::loaded<extract>()->isVisible());
}

// ---- how the indicator and pages look ----

TEST_F(Shop, TheIndicatorToggleKeepsItsNameAndTheSkinColoursTheRightLabels)
{
    frmmain& main = launch();
    frmrect& rect = Forms::get<frmrect>();
    const auto name = [&] { return QAccessible::queryAccessibleInterface(rect.Label4)->text(QAccessible::Name); };
    EXPECT_EQ(name(), "options panel");
    click(rect.Label4);
    ASSERT_TRUE(rect.optionsOpen());
    EXPECT_EQ(name(), "options panel");
    EXPECT_EQ(rect.Label3->caption(), "5");
    EXPECT_TRUE(rect.Label3->isVisible());
    EXPECT_EQ(rect.Label3->palette().color(QPalette::WindowText), SkinFolder::Colour("restfontclr"));
    EXPECT_EQ(rect.Label1->palette().color(QPalette::WindowText), SkinFolder::Colour("frmrectfore"));
    EXPECT_EQ(rect.Label1->font().pointSizeF(), 6.75);
    EXPECT_EQ(main.Text1->font().pointSizeF(), 9.75);
    EXPECT_EQ(main.Label2->cursor().shape(), Qt::ArrowCursor);
}
