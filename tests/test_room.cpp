#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/chatops.h"
#include "chat/ops.h"
#include "chattext/roomrender.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "effects/frmfader.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"

// The stand-in client's own windows, shown in this process for the menu test.
#include "chatclient.h"
#include "framewindow.h"
#include "roomlog.h"
#include "windowtree.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontInfo>
#include <QMenuBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <gtest/gtest.h>

// What the room shows, read back as its user sees it: the rendered text, and where each
// character stands in the room's fixed-width font.
namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

QTextDocument* rendered(const QString& message, bool fixedWidth = true)
{
    auto* doc = new QTextDocument;
    RoomRender::Options options;
    options.fixedWidth = fixedWidth;
    RoomRender::prepare(doc, options);
    QTextCursor cursor(doc);
    RoomRender::render(cursor, message, options);
    return doc;
}

QString plain(const QString& message)
{
    std::unique_ptr<QTextDocument> doc(rendered(message));
    return RoomRender::plainText(doc.get());
}

// The format of the character at position at of a rendered message.
QTextCharFormat formatAt(QTextDocument* doc, int at)
{
    QTextCursor c(doc);
    c.setPosition(at + 1);
    return c.charFormat();
}

QList<double> xOfLine(QTextDocument* doc, int line)
{
    const QTextBlock block = doc->findBlockByNumber(line);
    doc->documentLayout()->blockBoundingRect(block);
    QList<double> out;
    for (int i = 0; i < block.length(); ++i)
        out << block.layout()->lineForTextPosition(i).cursorToX(i);
    return out;
}

// Every character of a line one advance after the one before: the line shows as typed.
void expectEvenlySpaced(const QList<double>& x, const QString& line)
{
    ASSERT_GE(x.size(), 2) << line.toStdString();
    const double advance = x[1] - x[0];
    EXPECT_GT(advance, 1.0) << line.toStdString();
    for (int i = 0; i < x.size(); ++i)
        ASSERT_NEAR(x[i], x[0] + i * advance, 0.01) << "column " << i << " of \"" << line.toStdString() << '"';
}

std::vector<std::string> strings(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

void press(QWidget* w)
{
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

} // namespace

// ---- the rules, on a document of this process ----

TEST(roomRender, ArtIsTextAndOnlyTheTagsTheShopSendsAreMarkup)
{
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"(> <)", "(> <)"},
        {"<3", "<3"},
        {"a<b and <--> ok", "a<b and <--> ok"},
        {"<-->", "<-->"},
        {"x<bx>y<wow>z<p>q</p>", "x<bx>y<wow>z<p>q</p>"},
        {"<b c>d <font is cool> < b>e <b class=x>f", "<b c>d <font is cool> < b>e <b class=x>f"},
        {"<b>bold</b> <i>it</i> <u>un</u> x<sup>2</sup><sub>3</sub>", "bold it un x23"},
        {"<Font Color=#FF0000>r<font color=\"#00ff00\" face=\"arial\" size=5>g</font>h", "rgh"},
        {"< a href=\"http://q.test/\">link</a> < A HREF='http://q.test/'>LINK</A>", "link LINK"},
        {"&amp; &lt;b&gt; &bogus; & &#65;&nbsp;", "& <b> &bogus; & A "},
        {"a<br>b<BR/>c<br />d", "a\nb\nc\nd"},
        {"1\r\n2\n3\r4", "1\n2\n3\n4"},
        // A tag ends on its line: half a tag is text and the break stays a break.
        {"< a href=\"x\r\ny\">z", "< a href=\"x\ny\">z"},
        {"<font color=\"<3\">w", "<font color=\"<3\">w"},
        {"a\x01" "b\tc", "ab\tc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plain(QString::fromUtf8(c.message)).toStdString(), c.shown) << c.message;
}

TEST(roomRender, TagsGiveTheirLookAndFacesWaitForTheUsualFont)
{
    const QString message = "<b>b</b><i>i</i><u>u</u><sup>p</sup><sub>s</sub><Font Color=#FF0000>r"
                            "< a href=\"http://q.test/\">l</a><font face=\"Georgia\" size=\"+2\">f</font>n";
    std::unique_ptr<QTextDocument> doc(rendered(message));
    ASSERT_EQ(RoomRender::plainText(doc.get()).toStdString(), "biupsrlfn");
    EXPECT_EQ(formatAt(doc.get(), 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc.get(), 1).fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatAt(doc.get(), 1).fontItalic());
    EXPECT_TRUE(formatAt(doc.get(), 2).fontUnderline());
    EXPECT_EQ(formatAt(doc.get(), 3).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatAt(doc.get(), 4).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatAt(doc.get(), 5).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(doc.get(), 6).anchorHref().toStdString(), "http://q.test/");
    EXPECT_TRUE(formatAt(doc.get(), 6).isAnchor());
    EXPECT_FALSE(formatAt(doc.get(), 7).isAnchor()) << "the anchor closed";
    // Fixed width: the face is not applied, the size is; the closed font gives the colour back.
    EXPECT_FALSE(formatAt(doc.get(), 7).hasProperty(QTextFormat::FontFamilies));
    EXPECT_GT(formatAt(doc.get(), 7).fontPointSize(), doc->defaultFont().pointSizeF());
    EXPECT_EQ(formatAt(doc.get(), 8).foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(QFontInfo(doc->defaultFont()).fixedPitch());

    std::unique_ptr<QTextDocument> usual(rendered(message, false));
    EXPECT_EQ(formatAt(usual.get(), 7).fontFamilies().toStringList(), QStringList{"Georgia"});
}

TEST(roomRender, BlanksAndNonBreakingBlanksKeepTheirWidth)
{
    std::unique_ptr<QTextDocument> doc(rendered("a     b\nabcdefg\na&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;b\n"
                                                "a \xA0 \xA0 b\n<b>a</b>     <Font Color=#00FF00>b"));
    const QList<double> typed = xOfLine(doc.get(), 1);
    for (int line : {0, 2, 3, 4}) {
        const QList<double> x = xOfLine(doc.get(), line);
        ASSERT_EQ(x.size(), 8) << line;
        EXPECT_NEAR(x[6], typed[6], 0.01) << "line " << line;
        expectEvenlySpaced(x, QStringLiteral("line %1").arg(line));
    }
}

TEST(roomRender, EveryLeftAngleOfAMegabyteOfBrokenTagsStaysText)
{
    // Each '<' starts a tag that never ends: read in one pass, all of it shown.
    QString message;
    while (message.size() < (1 << 20))
        message += QStringLiteral("< a href=\"x <font color=red <b ");
    EXPECT_TRUE(plain(message) == message);
}

// ---- the stand-in client's View menu, shown in this process ----

TEST(roomView, TheViewMenuSwitchesTheRoomBetweenTheFixedWidthAndTheUsualFont)
{
    WindowTree tree;
    ChatClient client(tree);
    client.build({});
    FrameWindow frame(client);
    frame.show();
    QCoreApplication::processEvents();
    const Window* room = tree.find(tree.find(0, 0, "Chat Frame25", {})->handle, 0, "MDIClient", {});
    const Window* lobby = tree.find(room->handle, 0, "Chat Child", {});
    const Window* input = tree.find(lobby->handle, 0, "RICHCNTL", {});
    input = tree.find(lobby->handle, input->handle, "RICHCNTL", {});
    client.sendText(input->handle, Msg::SetText, 0, "a     b");
    client.sendMessage(input->handle, Msg::Char, 13, 0);
    QCoreApplication::processEvents();

    auto* view = frame.findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->toPlainText().toStdString(), "Guest: a     b");
    EXPECT_TRUE(QFontInfo(view->document()->defaultFont()).fixedPitch());
    expectEvenlySpaced(xOfLine(view->document(), 0), "Guest: a     b");

    // The menu bar as the user sees it: View beside Edit, its item ticked.
    QMenuBar* bar = frame.menuBar();
    QAction* viewMenu = nullptr;
    for (QAction* a : bar->actions())
        if (a->text() == "&View")
            viewMenu = a;
    ASSERT_NE(viewMenu, nullptr);
    EXPECT_EQ(bar->actions().indexOf(viewMenu), 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(viewMenu).center());
    QMenu* menu = viewMenu->menu();
    ASSERT_TRUE(menu->isVisible());
    QAction* fixed = menu->actions().value(0);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->text().toStdString(), "&Fixed-width Font for Art");
    EXPECT_TRUE(fixed->isChecked());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(fixed).center());
    QCoreApplication::processEvents();
    EXPECT_FALSE(fixed->isChecked());
    EXPECT_FALSE(client.fixedWidth());
    EXPECT_EQ(view->toPlainText().toStdString(), "Guest: a     b") << "the room keeps what it showed";
    EXPECT_FALSE(QFontInfo(view->document()->defaultFont()).fixedPitch());
    EXPECT_EQ(view->font(), view->document()->defaultFont());

    // The bus still sees six menus.
    EXPECT_EQ(tree.menu(client.getMenu(client.frame()->handle))->items.size(), 6u);
}

TEST(roomView, ARoomKeepsItsLastMessagesAndSaysThatOlderOnesWereDropped)
{
    // Messages of 105 bytes with their sender, two lines each.
    RoomLog log(1000);
    for (int i = 0; i < 40; ++i)
        log.message("Guest", QByteArray::number(i).rightJustified(2, '0') + " " + QByteArray(90, '<') + "\r\n(> <)");
    const QStringList lines = log.text().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(), "*** Older messages were dropped: a room keeps its last 1000 bytes of messages.");
    EXPECT_EQ(lines.count(lines[0]), 1) << "said once";
    EXPECT_EQ(lines[1].left(10).toStdString(), "Guest: " + std::to_string(40 - (lines.size() - 1) / 2) + " ");
    EXPECT_EQ(lines.last().toStdString(), "(> <)");
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("Guest: 39 <<<"));
    EXPECT_LE((lines.size() - 1) / 2 * 105, 1000) << "within the bound";
    EXPECT_GE((lines.size() - 1) / 2 * 105, 750 - 105) << "not more dropped than needed";
    // Shown afresh in the other font, the room holds the same.
    const QString before = log.text();
    log.setFixedWidth(false);
    EXPECT_TRUE(log.text() == before);
    // A message larger than the bound is kept whole.
    log.message("Guest", QByteArray(5000, 'x'));
    EXPECT_TRUE(log.text().endsWith("Guest: " + QString(5000, 'x')));
}

TEST(roomView, TheTranscriptControlKeepsItsLastLinesWhole)
{
    WindowTree tree;
    Window* w = tree.create(nullptr, "RICHCNTL", Role::Transcript);
    for (int i = 0; i < 40; ++i)
        tree.appendLine(w, "Guest:\tline " + QByteArray::number(i).rightJustified(2, '0') + " (> <)\r\n", 300);
    EXPECT_LE(w->text.size(), 300);
    EXPECT_GE(w->text.size(), 225 - 24);
    EXPECT_TRUE(w->text.startsWith("Guest:\tline ")) << w->text.constData();
    EXPECT_TRUE(w->text.endsWith("Guest:\tline 39 (> <)\r\n"));
    const QByteArray huge = "Guest:\t" + QByteArray(1000, 'x') + "\r\n";
    tree.appendLine(w, huge, 300);
    EXPECT_EQ(w->text, huge) << "the newest line stays whole";
}

// ---- art posted through the shop, read back at the stand-in client ----

class roomShop : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
        // Started as the user starts it, before the client is there: no banner in the room.
        launch();
        QApplication::processEvents();
        Forms::get<menu2>().checkAll();
    }
    frmmain& main() { return *Forms::loaded<frmmain>(); }
    // Every line of the room and where its characters stand.
    void expectRoomAsTyped(const ChatClientLauncher& client, quint32 room, const QStringList& lines)
    {
        EXPECT_EQ(strings(client.roomText(room).split('\n')), strings(lines));
        for (int i = 0; i < lines.size(); ++i) {
            const QList<double> x = client.roomLineX(room, i);
            ASSERT_EQ(x.size(), lines[i].size() + 1) << lines[i].toStdString();
            expectEvenlySpaced(x, lines[i]);
        }
    }
};

TEST_F(roomShop, PagesOfArtTypedByTheUserShowAsTyped)
{
    ChatClientLauncher client;
    START(client);
    const QStringList art = {"(> <)", "<3", "a<b and <--> ok", "a     b"};
    for (int n = 1; n <= 4; ++n) {
        PageEdit* page = main().page(n);
        page->clear();
        QTest::keyClicks(page, art[n - 1]);
        ASSERT_EQ(page->text().toStdString(), art[n - 1].toStdString());
    }
    ops& panel = Forms::get<ops>();
    panel.show();
    click(panel.Label1);

    const quint32 room = CommonKit::FindChatRoom();
    ASSERT_NE(room, 0u);
    QStringList shown;
    for (const QString& a : art)
        shown << "Guest: " + a;
    expectRoomAsTyped(client, room, shown);
    // The five blanks take the room five characters' width.
    const QList<double> x = client.roomLineX(room, 3);
    EXPECT_NEAR(x[14] - x[8], 6 * (x[1] - x[0]), 0.01);
}

TEST_F(roomShop, BuiltInMacrosScrollLineByLineAsTheyAreDrawn)
{
    ChatClientLauncher client;
    START(client);
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/macros"), path("macros"));
    frmdraw& shop = Forms::get<frmdraw>();
    shop.show();
    QStringList expected = {"Guest:   | quorl ascii shop \u00b9\u00b7\u00b9 | INCOMING! | beta 4.1 |"};
    for (int pick : {1, 16}) {  // the rose and the castle
        press(shop.Label3);
        click(Forms::get<mnu2>().Label1[7]);
        mnu18& list = Forms::get<mnu18>();
        ASSERT_TRUE(list.isVisible());
        click(list.Label1[pick]);
        QString macro = shop.Text1->text();
        ASSERT_FALSE(macro.isEmpty());
        if (macro.endsWith("\r\n"))
            macro.chop(2);
        press(shop.Label3);
        click(Forms::get<mnu2>().Label1[3]);  // scroll at the ordinary pace
        if (pick != 1)
            expected << expected.first();
        // Each line arrives with the shop's suffix: a blank and a non-breaking blank.
        for (const QString& line : macro.split("\r\n"))
            expected << "Guest: " + line + "  ";
    }
    const quint32 room = CommonKit::FindChatRoom();
    ASSERT_NE(room, 0u);
    EXPECT_GT(expected.size(), 20);
    expectRoomAsTyped(client, room, expected);
}

TEST_F(roomShop, TheFadePreviewShowsWhatTheRoomShows)
{
    ChatClientLauncher client;
    START(client);
    main().clearPages();
    QTest::keyClicks(main().Text1, "(> <) a<b  <3 &amp;");
    press(main().Label3);
    click(Forms::get<menu2>().item("&html fader"));
    frmfader* fader = Forms::loaded<frmfader>();
    ASSERT_NE(fader, nullptr);
    const QString preview = RoomRender::plainText(fader->Preview->document());
    EXPECT_EQ(preview.toStdString(), "(> <) a<b  <3 &amp;");
    EXPECT_TRUE(QFontInfo(fader->Preview->document()->defaultFont()).fixedPitch());

    click(fader->Label3);  // Ok: the page is faded
    ASSERT_TRUE(main().Text1->text().startsWith("<Font Color=#"));
    ops& panel = Forms::get<ops>();
    panel.show();
    click(panel.Label1);
    const quint32 room = CommonKit::FindChatRoom();
    EXPECT_EQ(client.roomText(room).toStdString(), "Guest: " + preview.toStdString());
    expectEvenlySpaced(client.roomLineX(room, 0), preview);
}

TEST_F(roomShop, StartedInTheUsualFontTheRoomNoLongerLinesUpBlanks)
{
    ChatClientLauncher client({QStringLiteral("--proportional")});
    START(client);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("a     b")), 0u);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("aaaaaab")), 0u);
    const quint32 room = CommonKit::FindChatRoom();
    EXPECT_EQ(client.roomText(room).toStdString(), "Guest: a     b\nGuest: aaaaaab");
    const QList<double> blanks = client.roomLineX(room, 0), letters = client.roomLineX(room, 1);
    ASSERT_EQ(blanks.size(), 15);
    ASSERT_EQ(letters.size(), 15);
    EXPECT_LT(blanks[13], letters[13] - 1) << "a blank is narrower than a letter there";
}
