#include "support/helpers.h"
#include "chat/banners.h"
#include "chat/chatcommands.h"
#include "chat/chatops.h"
#include "chat/frmlink.h"
#include "chat/makelink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/pageedit.h"
#include "platform/chatbus.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"
#include "support/chatclientlauncher.h"
#include "support/shoptest.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <functional>

using ChatBus::HWND;

namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

const QByteArray kFontTags = "<font color=\"#C0C0C0\"><font face=\"arial\"> ";
const QByteArray kOrnament = "\x8b\x9b\xbb";
const QByteArray kShop = "<b>q</b>uorl <b>a</b>scii <b>s</b>hop \xb9\xb7\xb9";

QList<QByteArray> messages(const ChatClientLauncher& client)
{
    QList<QByteArray> out;
    for (const auto& line : client.transcript())
        out << line.bytes;
    return out;
}


void press(QWidget* w)
{
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

HWND instantMessageWindow()
{
    const HWND mdi = ChatBus::FindWindowExA(CommonKit::FindMainFrame(), 0, "MDIClient");
    return ChatBus::FindWindowExA(mdi, 0, "Chat Child", "Send Instant Message");
}

} // namespace

class opsScroll : public ShopTest {};

TEST_F(opsScroll, FilledPagesGoAsOneMessageEachWithAPauseAfterEach)
{
    ChatClientLauncher client;
    START(client);
    writeSettings();
    frmmain& main = Forms::get<frmmain>();
    main.Text1->setText(QStringLiteral("\u2039\u203a\u00bb one \u00b9\u00b7\u00b9"));
    main.Text3->setText(QStringLiteral("<b>three</b> | "));
    // Two pauses that straddle midnight still end.
    clock.now = 86399.8;

    ChatCommands::ScrollAllPages();

    EXPECT_EQ(messages(client), (QList<QByteArray>{"\x8b\x9b\xbb one \xb9\xb7\xb9", "<b>three</b> | "}));
    EXPECT_EQ(clock.waits, (QList<double>{0.4, 0.4}));
}

TEST_F(opsScroll, APageOfSeveralLinesIsOneMessage)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = Forms::get<frmmain>();
    main.Text2->setText(QStringLiteral("top row\r\nbottom row"));
    ASSERT_EQ(main.Text2->text(), QStringLiteral("top row\r\nbottom row")) << "the page keeps its line break";

    ChatCommands::ScrollAllPages();

    EXPECT_EQ(messages(client), QList<QByteArray>{"top row\r\nbottom row"});
    EXPECT_EQ(clock.waits, QList<double>{0.4});
}

TEST_F(opsScroll, EmptyPagesSendNothingAndTakeNoTime)
{
    ChatClientLauncher client;
    START(client);
    Forms::get<frmmain>().clearPages();

    Forms::get<ops>().Label1->click();

    EXPECT_TRUE(client.transcript().isEmpty());
    EXPECT_TRUE(clock.waits.isEmpty());
}

TEST_F(opsScroll, GreetsAndCreditsShareTheHeaderAndPauseAfterEveryLine)
{
    ChatClientLauncher client;
    START(client);
    const QByteArray header = kFontTags + " | " + kShop + " | <b>s</b>crolling <b>g</b>reets |";

    ChatCommands::ScrollGreets();
    const auto greets = messages(client);
    ASSERT_GE(greets.size(), 4);
    EXPECT_EQ(greets.first(), header);
    EXPECT_EQ(greets[1], "| <b>S</b>ups <b>t</b>o | ");
    EXPECT_EQ(greets.last(), "|<font color=\"#C0C0C0\"> <b>a</b>nd <b>p</b>eeps <b>i</b> <b>c</b>ant <b>r</b>emember. |");
    for (qsizetype i = 2; i + 1 < greets.size(); ++i)
        EXPECT_TRUE(greets[i].startsWith("| ") && greets[i].endsWith(" |")) << greets[i].constData();
    EXPECT_EQ(clock.waits, QList<double>(greets.size(), 0.6));

    clock.waits.clear();
    ChatCommands::ScrollCredits();
    const auto credits = messages(client).mid(greets.size());
    ASSERT_EQ(credits.size(), 5) << "header, the thanks line and three names";
    EXPECT_EQ(credits[0], header);
    EXPECT_EQ(credits[1], "| <b>C</b>redits <b>g</b>o <b>o</b>ut <b>t</b>o | ");
    EXPECT_EQ(clock.waits, QList<double>(5, 0.6));
}

class opsBannersInRoom : public ShopTest {};

TEST_F(opsBannersInRoom, StartUpBannerArrivesByteExactWithUserAndSkinLines)
{
    ChatClientLauncher client;
    START(client);
    writeSettings("tester");

    Banners::Send(Banners::Occasion::Load);

    const auto lines = messages(client);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], kFontTags + kOrnament + " | " + kShop + " | <b>l</b>oad | <b>p</b>ublic <b>6</b> |");
    EXPECT_EQ(lines[1], kFontTags + kOrnament
                            + " | <b>q</b>uorl | <b>n</b>ightjar | <b>u</b>ser:<b> tester </b>| < a href=\""
                              "http://quorl.example/get/quorl-public6.zip\"><font color=\"#C0C0C0\"><b>download!</b>"
                              "<font color=\"#C0C0C0\"> |</a>");
    EXPECT_EQ(lines[2], kFontTags + kOrnament + " | <b>u</b>sing <b>s</b>kin: <b>Slate Dusk by Tavi Brennock | ");
    EXPECT_EQ(clock.waits, (QList<double>{0.1, 0.2}));
}

TEST_F(opsBannersInRoom, ASkinsNameArtistAndTheHandleReachTheRoomAsTextNotMarkup)
{
    ChatClientLauncher client;
    START(client);
    writeSettings("me&<i>you");
    CommonKit::SetSetting("ASCII", "<3");
    const QString ini = SkinFolder::ResolveSkinFolder() + "skin.ini";
    ASSERT_TRUE(CommonKit::WriteIni("skin", "name", "x</b><a href=\"http://evil.example/\">y</a>", ini));
    ASSERT_TRUE(CommonKit::WriteIni("skin", "artist", "<img src=\"http://evil.example/i.png\"><font size=7>", ini));

    Banners::Send(Banners::Occasion::Load);
    Banners::Send(Banners::Occasion::SkinChanged);

    const auto lines = messages(client);
    ASSERT_EQ(lines.size(), 6);
    const QByteArray name = "x&lt;/b&gt;&lt;a href=\"http://evil.example/\"&gt;y&lt;/a&gt;";
    const QByteArray artist = "&lt;img src=\"http://evil.example/i.png\"&gt;&lt;font size=7&gt;";
    EXPECT_EQ(lines[2], kFontTags + "&lt;3 | <b>u</b>sing <b>s</b>kin: <b>" + name + " by " + artist + " | ");
    EXPECT_TRUE(lines[1].contains("<b>u</b>ser:<b> me&amp;&lt;i&gt;you </b>| < a href=\"http://quorl.example/"))
        << "the banner's own link stays: " << lines[1].constData();
    EXPECT_EQ(lines[4], kFontTags + "&lt;3 | <b>s</b>kin <b>c</b>hanged <b>t</b>o: <b>" + name + " |");
    EXPECT_EQ(lines[5], kFontTags + "&lt;3 | <b>s</b>kin <b>b</b>y: <b>" + artist + "</b> |");
    for (const QByteArray& l : lines) {
        EXPECT_FALSE(l.contains("<a") || l.contains("< a href=\"http://evil")) << l.constData();
        EXPECT_FALSE(l.contains("<img") || l.contains("<font size")) << l.constData();
    }
}

TEST_F(opsBannersInRoom, AClassicRoomGetsOnlyTheTrayAdvertsLinesThatMayGoToAnyRoom)
{
    writeSettings();
    {
        ChatClientLauncher client;
        START(client);
        Banners::Send(Banners::Occasion::TrayAdvertize);
        EXPECT_EQ(messages(client).size(), 4);
    }
    ChatClientLauncher classic({QStringLiteral("--classic")});
    START(classic);
    Banners::Send(Banners::Occasion::TrayAdvertize);
    const auto lines = messages(classic);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("<font face=\"arial\"> " + kOrnament + " | quorl ascii shop"));
    EXPECT_TRUE(lines[1].startsWith("<font face=\"arial\"> " + kOrnament + " | download |"));
}

TEST_F(opsBannersInRoom, MacroShopButtonSendsItsLoadLineWithOneShortWait)
{
    ChatClientLauncher client;
    START(client);
    writeSettings();

    Forms::get<ops>().Label3->click();

    EXPECT_EQ(messages(client),
              QList<QByteArray>{kFontTags + kOrnament + " | " + kShop + " | <b>m</b>acro <b>s</b>hop | <b>l</b>oad |"});
    EXPECT_EQ(clock.waits, QList<double>{0.1});
}

TEST_F(opsBannersInRoom, CloseSendsThePanelsUnloadBannerOnceAndEnds)
{
    ChatClientLauncher client;
    START(client);
    writeSettings("tester");

    Forms::get<ops>().Label12->click();

    const auto lines = messages(client);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], kFontTags + kOrnament + " | " + kShop + " | <b>u</b>nload | [p] beta 5 |");
    EXPECT_TRUE(lines[1].contains("<b>u</b>ser:<b> tester </b>| < a href=\"http://quorl.example/get/quorl-beta5.zip\""));
    EXPECT_EQ(clock.waits, (QList<double>{0.1, 0.1}));
    EXPECT_EQ(process.ends, 1);
}

class opsKillWait : public ShopTest {
protected:
    // Records the question and what was on screen while it was asked.
    struct WatchingPrompts : ScriptedPrompts {
        QStringList titles, presets;
        QList<bool> stackVisible;
        QString inputBox(const QString& prompt, const QString& title, const QString& preset) override
        {
            titles << title;
            presets << preset;
            const frmrect* rect = Forms::loaded<frmrect>();
            const ops* panel = Forms::loaded<ops>();
            stackVisible << ((rect && rect->isVisible()) || (panel && panel->isVisible()));
            return ScriptedPrompts::inputBox(prompt, title, preset);
        }
    };

    void SetUp() override
    {
        ShopTest::SetUp();
        Prompts::install(&asking);
        writeSettings();
    }

    WatchingPrompts asking;
};

TEST_F(opsKillWait, AsksOnceStoresTheAnswerAndClosesTheWaitWindow)
{
    ChatClientLauncher client;
    START(client);
    ASSERT_EQ(ChatBus::FindWindowA("_Chat_Modal"), 0u);
    frmrect& rect = Forms::get<frmrect>();
    rect.show();
    ops& panel = Forms::get<ops>();
    panel.show();
    asking.inputs = {"4"};

    panel.Label6->click();

    EXPECT_EQ(asking.inputPrompts,
              QStringList{"Please enter the menu number for the kill wait win. EX: Master client = 5, Regular client = 4"});
    EXPECT_EQ(asking.titles, QStringList{"Menu"});
    EXPECT_EQ(asking.presets, QStringList{"4"});
    EXPECT_EQ(asking.stackVisible, QList<bool>{false});
    EXPECT_TRUE(rect.isVisible());
    EXPECT_FALSE(panel.isVisible()) << "the indicator records the panel as closed";
    EXPECT_EQ(CommonKit::Setting("MENU"), QStringLiteral("4"));
    // Menu 4, item 10 opened the wait window and it was clicked at once, not after a time-out.
    EXPECT_TRUE(clock.waits.isEmpty());
    EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::FindWindowA("_Chat_Modal") == 0; }));

    panel.Label6->click();
    EXPECT_EQ(asking.inputPrompts.size(), 1) << "the stored number is used";
    EXPECT_TRUE(clock.waits.isEmpty());
    EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::FindWindowA("_Chat_Modal") == 0; }));
}

TEST_F(opsKillWait, StoredNumberIsReadWithItsNumericValue)
{
    ChatClientLauncher client;
    START(client);
    CommonKit::SetSetting("MENU", " 5 (master)");

    ChatCommands::KillWait();

    EXPECT_TRUE(asking.inputPrompts.isEmpty());
    EXPECT_TRUE(clock.waits.isEmpty()) << "menu 5 holds the command too";
    EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::FindWindowA("_Chat_Modal") == 0; }));
}

TEST_F(opsKillWait, CancelStoresEmptyMenuZeroGivesUpAndAsksAgain)
{
    ChatClientLauncher client;
    START(client);

    ChatCommands::KillWait();

    EXPECT_EQ(CommonKit::Setting("MENU"), QString());
    EXPECT_GE(clock.waited(), 30.0) << "no wait window appears from menu 0";
    EXPECT_LT(clock.waited(), 30.2);
    ChatCommands::KillWait();
    EXPECT_EQ(asking.inputPrompts.size(), 2);
}

class opsPanel : public ShopTest {};

TEST_F(opsPanel, UpchatHandsTheFrameToTheUserAndBack)
{
    ChatClientLauncher client({QStringLiteral("--upload")});
    START(client);
    const HWND frame = CommonKit::FindMainFrame();
    const HWND upload = CommonKit::FindUploadWindow();
    ASSERT_NE(upload, 0u);
    ASSERT_FALSE(client.isEnabled(frame));
    ops& panel = Forms::get<ops>();
    ASSERT_EQ(panel.Label7->caption(), QStringLiteral("&upchat on"));

    panel.Label7->click();
    EXPECT_EQ(panel.Label7->caption(), QStringLiteral("&upchat off"));
    EXPECT_TRUE(client.isEnabled(frame));
    EXPECT_FALSE(client.isEnabled(upload));

    panel.Label7->click();
    EXPECT_EQ(panel.Label7->caption(), QStringLiteral("&upchat on"));
    EXPECT_FALSE(client.isEnabled(frame));
    EXPECT_TRUE(client.isEnabled(upload));
}

TEST_F(opsPanel, LockMakesEveryPageReadOnlyUntilUnlocked)
{
    frmmain& main = Forms::get<frmmain>();
    ops& panel = Forms::get<ops>();

    panel.Label4->click();
    EXPECT_EQ(panel.Label4->caption(), QStringLiteral("&unlock"));
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(main.page(n)->isReadOnly()) << n;

    panel.Label4->click();
    EXPECT_EQ(panel.Label4->caption(), QStringLiteral("&lock boxes"));
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(main.page(n)->isReadOnly()) << n;
}

TEST_F(opsPanel, ImMeAndPrGlyActOnThePressAlone)
{
    ChatClientLauncher client;
    START(client);
    ops& panel = Forms::get<ops>();

    press(panel.Label10);
    const HWND im = instantMessageWindow();
    ASSERT_NE(im, 0u);
    EXPECT_EQ(CommonKit::ReadWindowText(ChatBus::FindWindowExA(im, 0, "RICHCNTL")), QStringLiteral("sup"));
    EXPECT_EQ(CommonKit::ReadWindowText(ChatBus::FindWindowExA(im, 0, "_Chat_Static")),
              QStringLiteral("To: QuorlShopkeep"));

    press(panel.Label8);
    EXPECT_EQ(CommonKit::ReadWindowText(CommonKit::FindChatRoom()), QStringLiteral("quorl art den"));
    EXPECT_TRUE(client.transcript().isEmpty()) << "nothing is posted";
    EXPECT_NE(Forms::loaded<frmmain>(), nullptr) << "the press brought the stack forward";
}

class opsLink : public ShopTest {};

TEST_F(opsLink, MakeLinkWithAnEmptyAddress)
{
    EXPECT_EQ(CommonKit::MakeLink("abc", ""), QStringLiteral("< A HREF=\"\">abc</A>"));
}

TEST_F(opsLink, OkPutsTheAnchorOnTheClipboardAndSaysSo)
{
    frmlink& dialog = Forms::get<frmlink>();
    EXPECT_EQ(dialog.Text1->text(), QStringLiteral("Url"));
    EXPECT_EQ(dialog.Text2->text(), QStringLiteral("Text to link"));
    dialog.Text1->setText("http://quorl.example/gallery/");
    dialog.Text2->setText("my art");
    QApplication::clipboard()->clear();

    dialog.Label3->click();

    const QString anchor = QStringLiteral("< A HREF=\"http://quorl.example/gallery/\">my art</A>");
    EXPECT_EQ(dialog.Text3->text(), anchor);
    EXPECT_EQ(QApplication::clipboard()->text(), anchor);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Your link has been copies to your clip board"));
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Link"));
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Information);
    EXPECT_EQ(Forms::loaded<frmlink>(), &dialog) << "the dialog stays open";
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);

    dialog.Label4->click();
    EXPECT_EQ(Forms::loaded<frmlink>(), nullptr);
}

TEST_F(opsLink, CtrlASelectsTheWholeBox)
{
    frmlink& dialog = Forms::get<frmlink>();
    for (QLineEdit* box : {dialog.Text1, dialog.Text2}) {
        box->setCursorPosition(1);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
        QApplication::sendEvent(box, &key);
        EXPECT_EQ(box->selectedText(), box->text());
    }
}
