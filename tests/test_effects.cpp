#include "support/helpers.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "effects/applyfilter.h"
#include "effects/fadekit.h"
#include "effects/filters32.h"
#include "effects/frmfader.h"
#include "platform/codepage.h"
#include "skin/pushlabel.h"
#include "support/chatclientlauncher.h"
#include "support/shoptest.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace FadeKit;

namespace {

// The colour codes of a faded text, in order, and the characters they colour.
struct Faded {
    QStringList codes;
    QString chars;
};
Faded parse(const QString& html)
{
    Faded f;
    const QString tag = QStringLiteral("<Font Color=#");
    qsizetype at = 0;
    while (at < html.size()) {
        EXPECT_EQ(html.mid(at, tag.size()), tag) << "at " << at;
        f.codes << html.mid(at + tag.size(), 6);
        EXPECT_EQ(html[at + tag.size() + 6], u'>');
        f.chars += html[at + tag.size() + 7];
        at += tag.size() + 8;
    }
    return f;
}

QString cp(const QByteArray& bytes) { return CodePage::toUnicode(bytes); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Fades

TEST(fadeKit, WorkedExamplesByteForByte)
{
    EXPECT_EQ(FadeTwoColors(255, 0, 0, 0, 0, 255, "abc", false),
              "<Font Color=#AA0055>a<Font Color=#5500AA>b<Font Color=#0000FF>c");
    EXPECT_EQ(FadeThreeColors(255, 0, 0, 0, 255, 0, 0, 0, 255, "abcd", false),
              "<Font Color=#808000>a<Font Color=#00FF00>b<Font Color=#008080>c<Font Color=#0000FF>d");
}

TEST(fadeKit, HalfwayComponentsRoundToEvenAndSmallOnesKeepTwoDigits)
{
    // 0 to 253 over two characters: 126.5 goes to 126, not 127; in each component.
    EXPECT_EQ(parse(FadeTwoColors(0, 0, 0, 253, 0, 0, "ab", false)).codes, (QStringList{"7E0000", "FD0000"}));
    EXPECT_EQ(parse(FadeTwoColors(0, 0, 0, 0, 253, 0, "ab", false)).codes.first(), "007E00");
    EXPECT_EQ(parse(FadeTwoColors(0, 0, 0, 0, 0, 253, "ab", false)).codes.first(), "00007E");
    // 0 to 255 over two: 127.5 goes to 128.
    EXPECT_EQ(parse(FadeTwoColors(0, 0, 0, 255, 0, 0, "ab", false)).codes.first(), "800000");
    EXPECT_EQ(parse(FadeTwoColors(9, 9, 9, 0, 0, 5, "x", false)).codes, QStringList{"000005"});

    EXPECT_EQ(PadHex(5), "000005");
    EXPECT_EQ(PadHex(0x10), "000010");
    EXPECT_EQ(PadHex(0xABC), "000ABC");
    EXPECT_EQ(PadHex(0xABCDE), "0ABCDE");
    EXPECT_EQ(PadHex(0xFEDCBA), "FEDCBA");
    // Called with blue low and red high, the digits read red, green, blue.
    EXPECT_EQ(PadHex(0x55 + 256 * 0x00 + 65536 * 0xAA), "AA0055");
}

TEST(fadeKit, EveryCharacterIsColouredOnItsOwnLineBreaksAndMarkupIncluded)
{
    const Faded f = parse(FadeTwoColors(0, 0, 0, 250, 250, 250, "ab\r\nc", false));
    EXPECT_EQ(f.chars, "ab\r\nc");
    EXPECT_EQ(f.codes, (QStringList{"323232", "646464", "969696", "C8C8C8", "FAFAFA"}));

    // A second fade colours the first one's markup character by character.
    const QString once = FadeTwoColors(0, 0, 0, 255, 255, 255, "<b>", false);
    const Faded twice = parse(FadeTwoColors(0, 0, 0, 255, 255, 255, once, false));
    EXPECT_EQ(twice.chars, once);
    EXPECT_EQ(twice.codes.last(), "FFFFFF");

    EXPECT_EQ(FadeTwoColors(1, 2, 3, 4, 5, 6, "", true), "");
    EXPECT_EQ(FadeThreeColors(1, 2, 3, 4, 5, 6, 7, 8, 9, "", true), "");
}

TEST(fadeKit, OneCharacterTakesTheLastColour)
{
    EXPECT_EQ(FadeTwoColors(255, 0, 0, 0, 0, 255, "x", false), "<Font Color=#0000FF>x");
    // With three colours it is the second part alone.
    EXPECT_EQ(FadeThreeColors(255, 0, 0, 0, 255, 0, 1, 2, 3, "x", false), "<Font Color=#010203>x");
    // n = 3 splits 2 + 1, n = 5 splits 2 + 3.
    EXPECT_EQ(parse(FadeThreeColors(0, 0, 0, 100, 100, 100, 200, 200, 200, "abc", false)).codes,
              (QStringList{"323232", "646464", "C8C8C8"}));
    EXPECT_EQ(parse(FadeThreeColors(0, 0, 0, 100, 100, 100, 160, 160, 160, "abcde", false)).codes[1], "646464");
}

TEST(fadeKit, WavingRaisesAndLowersInTurnAcrossBothHalves)
{
    const QString t = FadeThreeColors(0, 0, 0, 0, 0, 0, 0, 0, 0, "abcdef", true);
    const QString code = "<Font Color=#000000>";
    EXPECT_EQ(t, code + "<sup>a" + code + "</sup>b" + code + "<sub>c" + code + "</sub>d" + code + "<sup>e" + code +
                     "</sup>f");
    // Each call starts afresh.
    EXPECT_TRUE(FadeTwoColors(0, 0, 0, 0, 0, 0, "z", true).endsWith("<sup>z"));
}

TEST(fadeKit, TextsBeyondSixteenBitLengthsFadeWhole)
{
    const qsizetype n = 70001;
    QString text(n, u'.');
    text[n - 1] = u'!';
    const QString out = FadeThreeColors(255, 0, 0, 0, 255, 0, 0, 0, 255, text, false);
    ASSERT_EQ(out.size(), n * 21);
    const Faded f = parse(out);
    ASSERT_EQ(f.codes.size(), n);
    EXPECT_EQ(f.chars, text);
    EXPECT_EQ(f.codes[35000 - 1], "00FF00") << "h = 35000 (70001 / 2 to even): the first half ends on colour 2";
    EXPECT_EQ(f.codes.last(), "0000FF");
    EXPECT_EQ(parse(FadeTwoColors(0, 0, 0, 255, 255, 255, text, false)).codes.last(), "FFFFFF");
}

// ---------------------------------------------------------------------------------------------
// Replacing without regard to case

TEST(replaceText, ReplacesEveryMatchAndResumesBehindTheReplacement)
{
    QString t = "abcABC";
    EXPECT_EQ(CommonKit::ReplaceText(t, "b", "bb"), "abbcAbbC");
    EXPECT_EQ(t, "abbcAbbC") << "the result is left in the caller's text";

    t = "aAa";
    EXPECT_EQ(CommonKit::ReplaceText(t, "a", "A"), "AAA");
    t = "abab";
    EXPECT_EQ(CommonKit::ReplaceText(t, "ab", "xab"), "xabxab");
    t = "aaaa";
    EXPECT_EQ(CommonKit::ReplaceText(t, "aa", "a"), "aa") << "matches do not overlap";
    t = QStringLiteral("\u00c9t\u00e9 \u0160A\u0161a");
    EXPECT_EQ(CommonKit::ReplaceText(t, QStringLiteral("\u00e9"), "e"), QStringLiteral("ete \u0160A\u0161a"));
    EXPECT_EQ(CommonKit::ReplaceText(t, QStringLiteral("\u0161a"), "s"), "ete ss");
}

TEST(replaceText, NothingToFindLeavesTheTextAlone)
{
    QString t = "abc";
    EXPECT_EQ(CommonKit::ReplaceText(t, "", "x"), "abc");
    EXPECT_EQ(CommonKit::ReplaceText(t, "abcd", "x"), "abc");
    EXPECT_EQ(CommonKit::ReplaceText(t, "z", "x"), "abc");
    QString empty;
    EXPECT_EQ(CommonKit::ReplaceText(empty, "a", "x"), "");
    t = "xyz";
    EXPECT_EQ(CommonKit::ReplaceText(t, "XYZ", ""), "");
}

TEST(replaceText, ManyMatchesInALongTextAllGo)
{
    QString t;
    for (int i = 0; i < 200000; ++i)
        t += i % 2 ? "Ab" : "-";
    const QString r = CommonKit::ReplaceText(t, "aB", "<x>");
    EXPECT_EQ(r.count("<x>"), 100000);
    EXPECT_FALSE(r.contains("b", Qt::CaseInsensitive));
    EXPECT_EQ(r.size(), 100000 + 3 * 100000);
}

// ---------------------------------------------------------------------------------------------
// Filter files read from disk

class filterFiles : public ShopTest {
protected:
    QString filter(const QString& name, const QByteArray& bytes)
    {
        writeBytes("Filters/" + name, bytes);
        return path("Filters/" + name);
    }
    QString apply(const QByteArray& rules, const QString& text, QString* r = nullptr)
    {
        QString t = text;
        const QString result = Filters32::ApplyFilterFile(filter("t.FLT", rules), t);
        if (r)
            *r = result;
        return t;
    }
};

TEST_F(filterFiles, RulesApplyInOrderEachToTheResultOfTheOnesBefore)
{
    QString r;
    EXPECT_EQ(apply("Dots: colons\r\n:!>.\r\n#!>*\r\n", "a:b:c #"), "a.b.c *");
    EXPECT_EQ(apply("x\r\na!>A\r\n", "aAa", &r), "AAA");
    EXPECT_EQ(r, "");
    EXPECT_EQ(apply("x\r\nab!>xab\r\n", "abab"), "xabxab");
    EXPECT_EQ(apply("x\r\na!>b\r\nb!>c\r\n", "a"), "c");
    EXPECT_EQ(apply("x\r\nx!>\r\n", "xaXbx"), "ab");
    EXPECT_EQ(apply("x\r\nx!>y!>z\r\n", "axa"), "ay!>za");
    EXPECT_EQ(apply("x\r\n a !> b \r\n", " a a "), " b a ") << "spaces belong to both sides";
    EXPECT_EQ(apply("x\r\na\nb!>c\r\n", "a\nb a b"), "a\nc a c") << "a lone LF ends a line too";
    EXPECT_EQ(apply("x\r\n:!>.", "a:b"), "a.b") << "the last rule needs no line end";
}

TEST_F(filterFiles, TrailingEmptyLinesCountAsOneLineBreak)
{
    EXPECT_EQ(apply("x\r\na!>b\r\n\r\n\r\n\r\n", "aa"), "bb");
    EXPECT_EQ(apply("x\r\na!>b", "aa"), "bb");
}

TEST_F(filterFiles, LinesThatAreNoRulesAreSkipped)
{
    QString r = "unset";
    // No marker, an empty line between rules, an empty find text, a bare marker.
    EXPECT_EQ(apply("x\r\nno rule here\r\n\r\n!>gone\r\n!>\r\na!>b\r\n", "a!>c", &r), "b!>c");
    EXPECT_EQ(r, "");
    EXPECT_EQ(apply("Header only: no rules\r\n", "keep", &r), "keep");
    EXPECT_EQ(r, "NORULE") << "a filter without rules changes nothing and says so";
    EXPECT_EQ(apply("one line a!>b without a line end", "a", &r), "a");
    EXPECT_EQ(r, "NORULE");
    EXPECT_EQ(apply("x\r\nno marker\r\n!>empty find\r\n", "a", &r), "a");
    EXPECT_EQ(r, "NORULE");
}

TEST_F(filterFiles, LinuxLineEndsReadAsCrLfDo)
{
    QString r = "unset";
    // What a Linux editor writes: LF line ends, with and without a last one.
    EXPECT_EQ(apply("Dots: colons\n:!>.\n#!>*\n", "a:b #", &r), "a.b *");
    EXPECT_EQ(r, "");
    EXPECT_EQ(apply("Dots: colons\n:!>.", "a:b"), "a.b");
    // Both kinds in one file, and LF blank lines at the end.
    EXPECT_EQ(apply("Mixed\r\na!>b\nb!>c\r\n\n\n", "a"), "c");
    // A rule's CR before its LF is the line end, not part of the replacement.
    EXPECT_EQ(apply("x\na!>b\r\n", "aa"), "bb");
}

TEST_F(filterFiles, ARuleThatPassesTheLimitStopsTheFilterAndNamesTheRule)
{
    // Each doubling rule fits until the result would pass the limit, counted in characters.
    QString t = "ab", why;
    EXPECT_EQ(Filters32::ApplyFilterRules("D:\r\na!>aa\r\na!>aa\r\n", t, &why, 5), 2);
    EXPECT_EQ(t, "aaaab") << "a result of exactly the limit is kept";
    EXPECT_TRUE(why.isEmpty());
    t = "ab";
    EXPECT_EQ(Filters32::ApplyFilterRules("D:\r\nb!>c\r\n\r\na!>aa\r\na!>aa\r\na!>aa\r\n", t, &why, 5), -1);
    EXPECT_EQ(t, "ab") << "the rules before the one that passed are taken back too";
    EXPECT_TRUE(why.contains("rule on line 6 (a!>aa)")) << why.toStdString();

    // A long rule is named by its start; a "%" in it is shown as written.
    const QString longRule = "q!>%1%3" + QString(100, u'x');
    t = "xxxx";
    EXPECT_EQ(Filters32::ApplyFilterRules("L:\r\n" + longRule, t, &why, 4), 1) << "no match, no growth";
    t = "q";
    EXPECT_EQ(Filters32::ApplyFilterRules("L:\r\n" + longRule, t, &why, 10), -1);
    EXPECT_TRUE(why.contains("(" + longRule.left(60) + "...)")) << why.toStdString();

    // Through the file: the shop's own limit, the text as it was, the reason given.
    QByteArray doubling = "Doubling: forty rules\r\n";
    for (int i = 0; i < 40; ++i)
        doubling += "a!>aa\r\n";
    QString r;
    why.clear();
    t = "a";
    EXPECT_EQ(Filters32::ApplyFilterFile(filter("d.FLT", doubling), t, &why), "TOOLARGE");
    EXPECT_EQ(t, "a");
    // 2^23 characters fit; 2^24 would pass 16 MB less the file's line end.
    EXPECT_TRUE(why.contains("rule on line 25 (a!>aa)")) << why.toStdString();
    EXPECT_TRUE(why.contains("larger than 16 MB")) << why.toStdString();
}

TEST(replaceTextWithin, RefusesAResultPastTheLimitWithoutChangingTheText)
{
    QString t = "aXa";
    EXPECT_TRUE(CommonKit::ReplaceTextWithin(t, "x", "yy", 4));
    EXPECT_EQ(t, "ayya");
    EXPECT_FALSE(CommonKit::ReplaceTextWithin(t, "y", "zz", 5));
    EXPECT_EQ(t, "ayya");
    EXPECT_TRUE(CommonKit::ReplaceTextWithin(t, "y", "", 2)) << "a shrinking result within the limit";
    EXPECT_EQ(t, "aa");
    QString big(1000, u'a');
    EXPECT_TRUE(CommonKit::ReplaceTextWithin(big, "q", "qqq", 10)) << "no match leaves the text, whatever its size";
    EXPECT_FALSE(CommonKit::ReplaceTextWithin(big, "a", "aa", 1999)) << "one short of twice the text";
    EXPECT_EQ(big.size(), 1000);
}

TEST_F(filterFiles, AnEmptyOrMissingFileIsABlankFile)
{
    QString r;
    EXPECT_EQ(apply("", "text", &r), "text");
    EXPECT_EQ(r, "BLANKFILE");
    QString t = "text";
    EXPECT_EQ(Filters32::ApplyFilterFile(path("Filters/none.FLT"), t), "BLANKFILE");
    EXPECT_EQ(t, "text");
}

TEST_F(filterFiles, NameIsTheTextBeforeTheFirstColonAnywhere)
{
    EXPECT_EQ(Filters32::GetFilterName(filter("a.FLT", "Dark: to light\r\n:!>.\r\n")), "Dark");
    EXPECT_EQ(Filters32::GetFilterName(filter("b.FLT", "Two\r\nlines:\r\n")), "Two\r\nlines");
    EXPECT_EQ(Filters32::GetFilterName(filter("c.FLT", "no colon\r\na!>b\r\n")), "");
    EXPECT_EQ(Filters32::GetFilterName(filter("d.FLT", "\xbb" "caf\xe9:\r\n")), QStringLiteral("\u00bbcaf\u00e9"));
    EXPECT_EQ(Filters32::GetFilterName(path("Filters/none.FLT")), "");
}

TEST_F(filterFiles, FifoHugeBinaryAndFolderAreRefusedWithAReason)
{
    const QString fifo = path("Filters/pipe.FLT");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString t = "macro", why;
    // Opening the FIFO to read would wait for a writer forever; it must come back at once.
    EXPECT_EQ(Filters32::GetFilterName(fifo), "");
    EXPECT_EQ(Filters32::ApplyFilterFile(fifo, t, &why), "BLANKFILE");
    EXPECT_TRUE(why.contains("not a plain file")) << why.toStdString();

    QFile huge(path("Filters/huge.FLT"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("Huge:\r\na!>b\r\n");
    ASSERT_TRUE(huge.resize(Filters32::kMaxFilterBytes + 1));
    huge.close();
    why.clear();
    EXPECT_EQ(Filters32::ApplyFilterFile(huge.fileName(), t, &why), "BLANKFILE");
    EXPECT_TRUE(why.contains("too large")) << why.toStdString();
    EXPECT_EQ(Filters32::GetFilterName(huge.fileName()), "");

    why.clear();
    const QString binary = filter("bin.FLT", QByteArray("Bin:\r\na!>", 9) + QByteArray(3, '\0') + "\r\n");
    EXPECT_EQ(Filters32::ApplyFilterFile(binary, t, &why), "BLANKFILE");
    EXPECT_TRUE(why.contains("binary")) << why.toStdString();

    ASSERT_TRUE(QDir(path("Filters")).mkdir("folder.FLT"));
    why.clear();
    EXPECT_EQ(Filters32::ApplyFilterFile(path("Filters/folder.FLT"), t, &why), "BLANKFILE");
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(t, "macro") << "nothing refused touches the text";
}

TEST_F(filterFiles, ShippedFiltersDoWhatTheirNamesSay)
{
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/Filters"), path("Filters"));
    const QStringList files = QDir(path("Filters")).entryList({"*.FLT"}, QDir::Files);
    ASSERT_GE(files.size(), 6);
    for (const QString& f : files) {
        const QByteArray bytes = readBytes("Filters/" + f);
        EXPECT_FALSE(Filters32::GetFilterName(path("Filters/" + f)).trimmed().isEmpty()) << f.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << f.toStdString();
        EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n')) << "CR LF line ends: " << f.toStdString();
    }
    auto run = [this](const QString& file, const QString& text) {
        QString t = text;
        EXPECT_EQ(Filters32::ApplyFilterFile(path("Filters/" + file), t), "");
        return t;
    };
    EXPECT_EQ(run("darktolight.FLT", "@#%*+=-:. x"), "#%*+=-:.  x");
    EXPECT_EQ(run("lighttodark.FLT", "#%*+=-:. x"), "@#%*+=-: x");
    EXPECT_EQ(run("brackets.FLT", "(a[b]{c})"), ")a]b[}c{(");
    EXPECT_EQ(run("mirror.FLT", QStringLiteral("/<\u00ab(x)\u00bb>\\")), QStringLiteral("\\>\u00bb)x(\u00ab</"));
    EXPECT_EQ(run("leet.FLT", "Toast big"), "70457 819");
    EXPECT_EQ(run("dosboxes.FLT", cp("\xda\xc4\xbf\r\n\xb3 \xb3\r\n\xc0\xc4\xd9")), "+-+\r\n| |\r\n+-+");
    EXPECT_EQ(run("htmlsafe.FLT", "<b>&"), "&lt;b&gt;&amp;");
}

// ---------------------------------------------------------------------------------------------
// The filter chooser, used with the mouse

namespace {
// A window holding a macro, as the macro shop hands it to the chooser.
struct MacroWindow {
    QWidget window;
    QPlainTextEdit* box = new QPlainTextEdit(&window);
    FilterTarget target() { return FilterTarget::forBox(box); }
};

QStringList names(const applyfilter& chooser)
{
    QStringList out;
    for (int i = 0; i < chooser.Filters->topLevelItemCount(); ++i)
        out << chooser.Filters->topLevelItem(i)->text(0);
    return out;
}

// A double-click as the window system delivers it: press, release, press, double-click, release.
void doubleClick(QWidget* w, QPoint at)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(w, &dbl);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

QPoint rowCentre(const applyfilter& chooser, int row)
{
    return chooser.Filters->visualItemRect(chooser.Filters->topLevelItem(row)).center();
}
} // namespace

class filterChooser : public ShopTest {
protected:
    void filter(const QString& name, const QByteArray& bytes) { writeBytes("Filters/" + name, bytes); }
    applyfilter& open()
    {
        applyfilter& c = applyfilter::Open(macro.target());
        QCoreApplication::processEvents();
        return c;
    }
    void clickOk(applyfilter& c) { QTest::mouseClick(c.Label3, Qt::LeftButton); }
    MacroWindow macro;
};

TEST_F(filterChooser, ListsByFileNameNotByFilterName)
{
    filter("b.FLT", "Light: to dark\r\n.!>:\r\n");
    filter("a.FLT", "Dark: to light\r\n:!>.\r\n");
    filter("C.flt", "Case: any\r\n");
    filter("two.FLT", "  : a name of two blanks is left out\r\n");
    filter("notes.txt", "Not: a filter\r\n");

    applyfilter& c = open();
    EXPECT_EQ(names(c), (QStringList{"Dark", "Light", "Case"}));
    EXPECT_EQ(c.Filters->headerItem()->text(0), "Filter Name");
    EXPECT_EQ(c.Label1->caption(), "    &quorl ascii shop beta");
    EXPECT_EQ(c.Filters->currentItem(), c.Filters->topLevelItem(0)) << "the first entry is chosen on opening";

    // The names are read when the chooser loads; a new file shows after it is opened again.
    filter("0.FLT", "Zero:\r\n");
    EXPECT_EQ(names(open()).size(), 3);
    QTest::mouseClick(c.Label4, Qt::LeftButton);
    EXPECT_EQ(Forms::loaded<applyfilter>(), nullptr);
    EXPECT_EQ(names(open()), (QStringList{"Zero", "Dark", "Light", "Case"}));
}

TEST_F(filterChooser, OkAppliesTheChosenFilterAndStaysOpen)
{
    filter("a.FLT", "Dots: colons to dots\r\n:!>.\r\n");
    filter("b.FLT", "Stars: number signs to stars\r\n#!>*\r\n");
    macro.box->setPlainText("a:b #");
    applyfilter& c = open();

    QTest::mouseClick(c.Filters->viewport(), Qt::LeftButton, {}, rowCentre(c, 1));
    clickOk(c);
    EXPECT_EQ(macro.box->toPlainText(), "a:b *");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Filter applied successfully");
    EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::None);
    EXPECT_EQ(Forms::loaded<applyfilter>(), &c);
    EXPECT_TRUE(c.windowFlags() & Qt::WindowStaysOnTopHint) << "topmost again after the message";
    EXPECT_FALSE(macro.window.windowFlags() & Qt::WindowStaysOnTopHint) << "the macro window gave way";

    // A double-click on an entry applies it too.
    doubleClick(c.Filters->viewport(), rowCentre(c, 0));
    EXPECT_EQ(macro.box->toPlainText(), "a.b *");
    EXPECT_EQ(prompts.messages.size(), 2);

    // The filter is one step the editor's undo takes back.
    QTest::keyClick(macro.box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(macro.box->toPlainText(), "a:b *");
}

TEST_F(filterChooser, TheMacroIsFilteredWithItsCrLfLineEnds)
{
    // A lone CR in a rule is part of its find text; it finds the CR of each line end.
    filter("a.FLT", "Ends: mark line ends\r\n\r!>|\r\n");
    macro.box->setPlainText("one\ntwo\nthree");
    clickOk(open());
    EXPECT_EQ(macro.box->toPlainText(), "one|\ntwo|\nthree");
    EXPECT_EQ(macro.box->document()->blockCount(), 3);
}

TEST_F(filterChooser, ARuleMatchingNothingStillSucceeds)
{
    filter("a.FLT", "Q: nothing here\r\nqqq!>z\r\n");
    macro.box->setPlainText("abc");
    applyfilter& c = open();
    clickOk(c);
    EXPECT_EQ(macro.box->toPlainText(), "abc");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Filter applied successfully");
}

TEST_F(filterChooser, AFilterWrittenWithLfAppliesAndOneWithoutARuleSaysSo)
{
    filter("a.FLT", "Stars: number signs to stars\n#!>*\n");
    filter("b.FLT", "Nothing: a name and no rule\n");
    filter("c.FLT", "Colons to dots :!>.");
    macro.box->setPlainText("a#\nb:");
    applyfilter& c = open();
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Filter applied successfully");
    EXPECT_EQ(macro.box->toPlainText(), "a*\nb:");

    for (int row : {1, 2}) {
        SCOPED_TRACE(row);
        prompts.messages.clear();
        QTest::mouseClick(c.Filters->viewport(), Qt::LeftButton, {}, rowCentre(c, row));
        clickOk(c);
        ASSERT_EQ(prompts.messages.size(), 1);
        const QString file = row == 1 ? "b.FLT" : "c.FLT";
        EXPECT_TRUE(prompts.messages[0].text.startsWith(file + " holds no rule, so the text was left as it was."))
            << prompts.messages[0].text.toStdString();
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Exclamation);
        EXPECT_EQ(macro.box->toPlainText(), "a*\nb:");
    }
}

TEST_F(filterChooser, AFilterWrittenWithLoneCrLineEndsApplies)
{
    filter("a.FLT", "CR filter: o\ro!>0\ra!>4\r");
    filter("b.FLT", "CR none: a name alone\r");
    macro.box->setPlainText("foo\nbar");
    applyfilter& c = open();
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Filter applied successfully");
    EXPECT_EQ(macro.box->toPlainText(), "f00\nb4r");
    prompts.messages.clear();
    QTest::mouseClick(c.Filters->viewport(), Qt::LeftButton, {}, rowCentre(c, 1));
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("b.FLT holds no rule")) << prompts.messages[0].text.toStdString();
}

TEST_F(filterChooser, BadFilesLeaveTheMacroAndSayWhatWentWrong)
{
    filter("a.FLT", "");
    filter("b.FLT", QByteArray("Bin:\r\na!>\0\0\r\n", 14));
    const QString fifo = path("Filters/c.FLT");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    filter("d.FLT", "Good: one\r\nm!>n\r\n");
    macro.box->setPlainText("macro");
    applyfilter& c = open();
    // The FIFO does not hold up the listing; the good filter is there.
    EXPECT_TRUE(names(c).contains("Good"));

    clickOk(c); // the empty file comes first
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              "An error occurred when applying the filter.\n\na.FLT is empty: a filter holds a name line and its rules.");
    EXPECT_EQ(macro.box->toPlainText(), "macro");

    QTest::mouseClick(c.Filters->viewport(), Qt::LeftButton, {}, rowCentre(c, 1));
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].text.startsWith("An error occurred when applying the filter.\n\n"));
    EXPECT_TRUE(prompts.messages[1].text.contains("b.FLT holds binary data")) << prompts.messages[1].text.toStdString();
    EXPECT_EQ(macro.box->toPlainText(), "macro");

    QTest::mouseClick(c.Filters->viewport(), Qt::LeftButton, {}, rowCentre(c, c.Filters->topLevelItemCount() - 1));
    clickOk(c);
    EXPECT_EQ(macro.box->toPlainText(), "nacro") << "the chooser keeps working";
}

TEST_F(filterChooser, NoFiltersAndNoFolderGiveOneEntryThatCannotApply)
{
    QDir(path("Filters")).removeRecursively();
    macro.box->setPlainText("macro");
    applyfilter& c = open();
    EXPECT_EQ(names(c), QStringList{"No Filters Found!"});
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "An error occurred when applying the filter.");
    EXPECT_EQ(macro.box->toPlainText(), "macro");
}

TEST_F(filterChooser, AClosedMacroWindowIsNoTargetAndNoCrash)
{
    filter("a.FLT", "A:\r\na!>b\r\n");
    auto* gone = new MacroWindow;
    applyfilter& c = applyfilter::Open(gone->target());
    delete gone;
    clickOk(c);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("An error occurred when applying the filter."));
    QTest::mouseClick(c.Label4, Qt::LeftButton);
    EXPECT_EQ(Forms::loaded<applyfilter>(), nullptr);
}

TEST_F(filterChooser, CancelPutsTheMacroWindowOnTopAgain)
{
    filter("a.FLT", "A:\r\na!>b\r\n");
    applyfilter& c = open();
    clickOk(c);
    ASSERT_FALSE(macro.window.windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(c.Label4, Qt::LeftButton);
    EXPECT_TRUE(macro.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Forms::loaded<applyfilter>(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// The fade dialog, used with the mouse

namespace {
// Moves a bar's handle with the mouse: press on the handle, drag by dy pixels, release.
void dragHandle(QScrollBar* bar, int dy, bool release = true)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    const QPoint from = handle.center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint to = from + QPoint(0, dy * step / 4);
        QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
    }
    if (release)
        QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(0, dy));
}

// Top (Home) or bottom (End) of a bar, as the keys take it there.
void barTo(QScrollBar* bar, bool bottom) { QTest::keyClick(bar, bottom ? Qt::Key_End : Qt::Key_Home); }

void setColour(frmfader& f, int c, bool red, bool green, bool blue)
{
    barTo(f.VScroll[(c - 1) * 3], red);
    barTo(f.VScroll[(c - 1) * 3 + 1], green);
    barTo(f.VScroll[(c - 1) * 3 + 2], blue);
}

// The colours and characters the preview shows, one entry per character.
QList<QPair<QString, QChar>> previewRun(const QTextBrowser* preview)
{
    QList<QPair<QString, QChar>> out;
    for (QTextBlock b = preview->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            for (QChar ch : frag.text())
                out.append({frag.charFormat().foreground().color().name().toUpper(), ch});
        }
    }
    return out;
}
} // namespace

class faderDialog : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
        frmmain& m = Forms::get<frmmain>();
        m.Timer8->stop();
        m.show();
    }
    frmmain& main() { return *Forms::loaded<frmmain>(); }
    // Opens the dialog the way the user does: "&Options", then "&html fader".
    frmfader& openFromMenu()
    {
        QTest::mouseClick(main().Label3, Qt::LeftButton);
        menu2& m = Forms::get<menu2>();
        EXPECT_TRUE(m.isVisible());
        QTest::mouseClick(m.item("&html fader"), Qt::LeftButton);
        EXPECT_FALSE(m.isVisible()) << "the menu hides first";
        frmfader* f = Forms::loaded<frmfader>();
        EXPECT_NE(f, nullptr);
        return *f;
    }
};

TEST_F(faderDialog, OpensFromTheOptionsMenuWithItsControls)
{
    frmfader& f = openFromMenu();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Label1->caption(), "  &fade ascii");
    EXPECT_EQ(f.Label11->caption(), "Fade 3 colors");
    EXPECT_TRUE(f.Check5->isChecked());
    for (int n = 0; n < 4; ++n) {
        EXPECT_FALSE(f.Check[n]->isChecked());
        EXPECT_EQ(f.PageLabel[n]->caption(), QStringLiteral("Text%1").arg(n + 1));
    }
    EXPECT_EQ(f.Label3->caption(), "&Ok");
    EXPECT_EQ(f.Label4->caption(), "&Cancel");
    for (QScrollBar* bar : f.VScroll) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 255);
        EXPECT_EQ(bar->orientation(), Qt::Vertical);
        EXPECT_TRUE(bar->isEnabled());
    }
    // Each swatch shows its bars from the start.
    for (auto [c, swatch] : {std::pair{1, f.Label2}, {2, f.Label5}, {3, f.Label6}})
        EXPECT_EQ(swatch->palette().color(QPalette::Window), f.colour(c));
}

TEST_F(faderDialog, DraggingABarRecoloursItsSwatchAndThePreviewWhileDragging)
{
    main().Text1->setText("abc");
    frmfader& f = openFromMenu();
    setColour(f, 1, false, false, false);
    QTest::mouseClick(f.Check5, Qt::LeftButton); // two colours
    setColour(f, 2, false, false, true);
    const QColor before = f.Label2->palette().color(QPalette::Window);
    ASSERT_EQ(before, QColor(0, 0, 0));

    dragHandle(f.VScroll[0], 60, false);
    const int red = f.VScroll[0]->value();
    EXPECT_GT(red, 0) << "the handle moved down";
    EXPECT_EQ(f.Label2->palette().color(QPalette::Window), QColor(red, 0, 0)) << "before the release";
    const auto run = previewRun(f.Preview);
    ASSERT_EQ(run.size(), 3);
    EXPECT_EQ(run[0].second, u'a');
    EXPECT_EQ(run[0].first, QColor(qRound(red * 2 / 3.0), 0, 85).name().toUpper());
    QTest::mouseRelease(f.VScroll[0], Qt::LeftButton);
    EXPECT_EQ(f.Label5->palette().color(QPalette::Window), QColor(0, 0, 255)) << "other swatches stay";
}

TEST_F(faderDialog, TheThreeColourBoxSwitchesTheThirdColourOnAndOff)
{
    frmfader& f = openFromMenu();
    QTest::mouseClick(f.Check5, Qt::LeftButton);
    EXPECT_FALSE(f.Check5->isChecked());
    for (int i = 6; i < 9; ++i)
        EXPECT_FALSE(f.VScroll[i]->isEnabled());
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(f.VScroll[i]->isEnabled());
    // A click on its caption ticks it as well.
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    EXPECT_TRUE(f.Check5->isChecked());
    for (int i = 6; i < 9; ++i)
        EXPECT_TRUE(f.VScroll[i]->isEnabled());
}

TEST_F(faderDialog, OkFadesEveryPageAndStaysOpenWithItsBars)
{
    main().Text1->setText("abcd");
    main().Text2->setText("");
    main().Text3->setText("x");
    main().Text4->setText("ab\r\nc");
    frmfader& f = openFromMenu();
    setColour(f, 1, true, false, false);
    setColour(f, 2, false, true, false);
    setColour(f, 3, false, false, true);

    QTest::mouseClick(f.Label3, Qt::LeftButton);
    EXPECT_EQ(main().Text1->text(),
              "<Font Color=#808000>a<Font Color=#00FF00>b<Font Color=#008080>c<Font Color=#0000FF>d");
    EXPECT_EQ(main().Text2->text(), "") << "empty pages stay empty";
    EXPECT_EQ(main().Text3->text(), "<Font Color=#0000FF>x");
    EXPECT_EQ(parse(main().Text4->text()).chars, "ab\r\nc");
    EXPECT_EQ(Forms::loaded<frmfader>(), &f);
    EXPECT_EQ(f.colour(2), QColor(0, 255, 0)) << "the bars keep their places";

    // Two colours: the third plays no part.
    QTest::mouseClick(f.Check5, Qt::LeftButton);
    main().Text1->setText("abc");
    setColour(f, 2, false, false, true);
    QTest::mouseClick(f.Label3, Qt::LeftButton);
    EXPECT_EQ(main().Text1->text(), "<Font Color=#AA0055>a<Font Color=#5500AA>b<Font Color=#0000FF>c");

    QTest::mouseClick(f.Label4, Qt::LeftButton);
    EXPECT_EQ(Forms::loaded<frmfader>(), nullptr) << "cancel unloads";
    frmfader& again = openFromMenu();
    EXPECT_NE(again.colour(1), QColor(255, 0, 0)) << "a new load starts from the bars' start";
}

TEST_F(faderDialog, TickedPagesAloneAreFaded)
{
    for (int n = 1; n <= 4; ++n)
        main().page(n)->setText(QStringLiteral("page%1").arg(n));
    frmfader& f = openFromMenu();
    QTest::mouseClick(f.Check[1], Qt::LeftButton);
    QTest::mouseClick(f.PageLabel[3], Qt::LeftButton); // by its caption
    ASSERT_TRUE(f.Check[3]->isChecked());
    // The preview shows the first ticked page.
    QString shown;
    for (const auto& [colour, ch] : previewRun(f.Preview))
        shown += ch;
    EXPECT_EQ(shown, "page2");

    QTest::mouseClick(f.Label3, Qt::LeftButton);
    EXPECT_EQ(main().Text1->text(), "page1");
    EXPECT_EQ(parse(main().Text2->text()).chars, "page2");
    EXPECT_EQ(main().Text3->text(), "page3");
    EXPECT_EQ(parse(main().Text4->text()).chars, "page4");
}

TEST_F(faderDialog, PreviewShowsThePageAsTheRoomRendersIt)
{
    main().Text1->setText("a\r\nb");
    frmfader& f = openFromMenu();
    QTest::mouseClick(f.Check5, Qt::LeftButton);
    setColour(f, 1, true, false, false);
    setColour(f, 2, false, false, true);
    // CR and LF each become a break in the room: two breaks between a and b.
    const QString plain = f.Preview->toPlainText();
    EXPECT_TRUE(plain.startsWith("a")) << plain.toStdString();
    EXPECT_TRUE(plain.endsWith("b"));
    EXPECT_EQ(plain.count(QChar(0x2028)) + plain.count(u'\n'), 2) << plain.toStdString();
    const auto run = previewRun(f.Preview);
    EXPECT_EQ(run.first().first, "#BF0040");
    EXPECT_EQ(run.last().first, "#0000FF");

    // An empty page previews a sample, so the colours still show.
    main().Text1->setText("");
    EXPECT_FALSE(f.Preview->toPlainText().isEmpty());
    // A long page previews its start only.
    main().Text1->setText(QString(50000, u'z'));
    EXPECT_EQ(f.Preview->toPlainText().size(), frmfader::kPreviewChars);
    QTest::mouseClick(f.Label3, Qt::LeftButton);
    // Faded, it would be a million characters: more than a page holds. It stays whole and the
    // user is told; a page whose fade fits fades whole.
    EXPECT_EQ(main().Text1->text(), QString(50000, u'z'));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Page 1 is too long to fade"));
    main().Text1->setText(QString(3000, u'z'));
    QTest::mouseClick(f.Label3, Qt::LeftButton);
    EXPECT_EQ(main().Text1->text().size(), 3000 * 21) << "the page fades whole";
}

// ---------------------------------------------------------------------------------------------
// Fading the pages and scrolling them into the room

class fadeAndScroll : public ShopTest {};

TEST_F(fadeAndScroll, TheRoomReceivesExactlyTheFadedHtml)
{
    ChatClientLauncher client;
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    writeSettings();
    CommonKit::SetSetting("LOADED", "5");
    frmmain& m = Forms::get<frmmain>();
    m.Timer8->stop();
    m.show();
    const QStringList pages = {QStringLiteral("\u00bbquorl\u00ab"), "<b>art</b>", "  two  words ", "!"};
    for (int n = 1; n <= 4; ++n)
        m.page(n)->setText(pages[n - 1]);

    QTest::mouseClick(m.Label3, Qt::LeftButton);
    QTest::mouseClick(Forms::get<menu2>().item("&html fader"), Qt::LeftButton);
    frmfader& f = *Forms::loaded<frmfader>();
    const QColor a = f.colour(1), b = f.colour(2), c = f.colour(3);
    QTest::mouseClick(f.Label3, Qt::LeftButton);

    ops& panel = Forms::get<ops>();
    panel.show();
    QTest::mouseClick(panel.Label1, Qt::LeftButton);

    // The main window greets the room when it first gets the focus; those lines are the banner's.
    QList<ChatClientLauncher::Line> lines;
    for (const auto& line : client.transcript())
        if (!line.bytes.startsWith("<font color=\""))
            lines << line;
    ASSERT_EQ(lines.size(), 4);
    for (int n = 0; n < 4; ++n) {
        const QString faded = FadeThreeColors(a.red(), a.green(), a.blue(), b.red(), b.green(), b.blue(), c.red(),
                                              c.green(), c.blue(), pages[n], false);
        EXPECT_EQ(lines[n].bytes, CodePage::fromUnicode(faded)) << n;
    }
    EXPECT_TRUE(lines[0].bytes.startsWith("<Font Color=#"));
    EXPECT_TRUE(lines[0].bytes.endsWith(">\xab"));
    EXPECT_EQ(std::count(clock.waits.begin(), clock.waits.end(), 0.4), 4);
}
