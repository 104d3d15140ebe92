#include "ircbridge.h"
#include "chattext/irccolors.h"
#include "ircpacer.h"

#include <gtest/gtest.h>

// What the room's HTML becomes on IRC, the pacing on a clock the test moves, and what servers send.
using IrcColors::Palette;

namespace {

QByteArray fromHtml(const char* html, Palette palette = Palette::Standard, int budget = 0)
{
    return IrcColors::fromHtml(QString::fromUtf8(html), palette, budget).join("|");
}

QByteArray code(int n)
{
    return "\x03" + QByteArray::number(n);
}

} // namespace

// ---- what the shop's HTML becomes ----

TEST(ircColors, HtmlColoursMapToTheNearestIrcColour)
{
    struct Row {
        QRgb html;
        int standard;
        int extended;
    };
    // The fader's and the banners' colours and some a user picks by hand.
    const Row table[] = {
        {0xFFFFFF, 0, 0},   {0x000000, 1, 1},   {0xFF0000, 4, 4},   {0x00FF00, 9, 56},  {0x0000FF, 12, 60},
        {0xC0C0C0, 15, 96}, {0x808080, 14, 14}, {0x333333, 1, 91},  {0xAA0055, 6, 51},  {0x5500AA, 6, 49},
        {0x808000, 3, 30},  {0x008080, 10, 34}, {0x800080, 6, 38},  {0xFFA500, 7, 53},  {0x8B4513, 5, 29},
        {0xFFFF00, 8, 8},   {0x00FFFF, 11, 11}, {0xFF00FF, 13, 13}, {0x7F0000, 5, 5},   {0xFFC0CB, 15, 77},
    };
    for (const Row& row : table) {
        EXPECT_EQ(IrcColors::nearest(row.html, Palette::Standard), row.standard) << std::hex << row.html;
        EXPECT_EQ(IrcColors::nearest(row.html, Palette::Extended), row.extended) << std::hex << row.html;
    }
    // The standard table never answers with an extended colour, whatever the input.
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51)
                EXPECT_LT(IrcColors::nearest(qRgb(r, g, b), Palette::Standard), 16);
}

TEST(ircColors, CodesOnlyWhereTheColourChangesAndTwoDigitsBeforeADigit)
{
    // A fade whose neighbours map to the same IRC colour costs one code.
    EXPECT_EQ(fromHtml("<Font Color=#AA0055>a<Font Color=#5500AA>b<Font Color=#0000FF>c"),
              code(6) + "ab" + code(12) + "c\x0F");
    // A digit after a one-digit colour would become part of the number.
    EXPECT_EQ(fromHtml("<font color=\"#FF0000\">1<font color=\"#0000FF\">x"), "\x03" "041" + code(12) + "x\x0F");
    EXPECT_EQ(fromHtml("<font color=\"#FF0000\">x1"), code(4) + "x1\x0F");
    // A comma and a digit would become a background colour.
    EXPECT_EQ(fromHtml("<font color=red>,5"), code(4) + "\x02\x02,5\x0F");
    // Back to the reader's own colour when the font closes.
    EXPECT_EQ(fromHtml("<font color=#FF0000>a</font>b"), code(4) + "a\x03" "b\x0F");
    EXPECT_EQ(fromHtml("<font color=#FF0000>a</font>7"), code(4) + "a\x03\x02\x02" "7\x0F");
    // A space takes no colour of its own; the code waits for the next visible character.
    EXPECT_EQ(fromHtml("<font color=#FF0000>a<font color=#0000FF> <font color=#00FF00>b"),
              code(4) + "a " + code(9) + "b\x0F");
    // Unknown colour names leave the colour as it was.
    EXPECT_EQ(fromHtml("<font color=#FF0000>a<font color=nonsense>b"), code(4) + "ab\x0F");
    // The extended table gives the two-digit codes.
    EXPECT_EQ(fromHtml("<font color=#C0C0C0>x", Palette::Extended), code(96) + "x\x0F");
}

TEST(ircColors, BoldSupSubAnchorsAndLines)
{
    EXPECT_EQ(fromHtml("<b>q</b>uorl <B>a</B>"), "\x02q\x02uorl \x02" "a\x0F");
    EXPECT_EQ(fromHtml("<b></b>x"), "x\x0F");
    EXPECT_EQ(fromHtml("a<sup>b</sup><sub>c</sub>"), "abc\x0F");
    // The shop writes anchors with a space after "<", in either case.
    EXPECT_EQ(fromHtml("< a href=\"http://x.test/a\">get it</a> now"), "get it <http://x.test/a> now\x0F");
    EXPECT_EQ(fromHtml("< A HREF=\"http://x.test/\">http://x.test/</A>"), "http://x.test/\x0F");
    EXPECT_EQ(fromHtml("< A HREF=\"\">abc</A>"), "abc\x0F");
    // The banner's link tail: colour and bold inside the anchor, the address after its text.
    EXPECT_EQ(fromHtml("<font color=\"#C0C0C0\"><font face=\"arial\"> | < a href=\"http://q.test/\">"
                       "<font color=\"#C0C0C0\"><b>download!</b><font color=\"#C0C0C0\"> |</a>"),
              " " + code(15) + "| \x02" "download!\x02 | <http://q.test/>\x0F");
    // Each line of a message is a line of its own, each ending in a reset; state carries on.
    EXPECT_EQ(fromHtml("<font color=red><b>a\r\nb</b>\nc<br>d"),
              "\x02" + code(4) + "a\x0F|\x02" + code(4) + "b\x0F|" + code(4) + "c\x0F|" + code(4) + "d\x0F");
    // Empty lines carry nothing and are not sent.
    EXPECT_EQ(fromHtml("a\r\n\r\nb"), "a\x0F|b\x0F");
    EXPECT_EQ(fromHtml("a<br/>b<BR />c<bx>"), "a\x0F|b\x0F|c<bx>\x0F");
    EXPECT_EQ(fromHtml("<font color=red></font>"), "");
    // A quote left open does not carry a tag over a line break: the line break still ends the
    // line, and the half tag is text.
    EXPECT_EQ(fromHtml("< a href=\"http://x\r\nQUIT\">y</a>"), "< a href=\"http://x\x0F|QUIT\">y\x0F");
}

TEST(ircColors, TextThatIsNotMarkupSurvivesAndControlsCannotEscape)
{
    // The room's own rules: a tag with what that tag never has is text, as the room shows it.
    EXPECT_EQ(fromHtml("<3 <--> a<b c>d <wow>"), "<3 <--> a<b c>d <wow>\x0F");
    EXPECT_EQ(fromHtml("a<b and <--> ok (> <) <p>x</p>"), "a<b and <--> ok (> <) <p>x</p>\x0F");
    // Characters beyond the first plane go whole, known or not; noncharacters are no entities.
    EXPECT_EQ(fromHtml("&#x10FFF;&#x1F600;&#xFFFF;"), "\xF0\x90\xBF\xBF\xF0\x9F\x98\x80&#xFFFF;\x0F");
    EXPECT_EQ(fromHtml("&amp; &lt;b&gt; &#233; &bogus; & x"), "& <b> \xC3\xA9 &bogus; & x\x0F");
    // Control characters would end the command or read as codes: they go.
    EXPECT_EQ(fromHtml("a\x01" "b\x03" "4c\x00", Palette::Standard), "ab4c\x0F");
    EXPECT_EQ(IrcColors::fromHtml(QStringLiteral("a\u0000QUIT"), Palette::Standard).join(), "aQUIT\x0F");
    // Windows-1252 characters go out as UTF-8.
    EXPECT_EQ(fromHtml("\xE2\x80\xB9\xE2\x80\xBA\xC2\xBB \xC2\xB9\xC2\xB7\xC2\xB9"),
              "\xE2\x80\xB9\xE2\x80\xBA\xC2\xBB \xC2\xB9\xC2\xB7\xC2\xB9\x0F");
}

TEST(ircColors, LongLinesSplitBetweenCharactersWithTheColourCarriedOver)
{
    // 20 bytes of budget: code(4) is 2 bytes, the reset 1.
    const QString text = QStringLiteral("<font color=red><b>") + QString(40, QLatin1Char('x'));
    const QList<QByteArray> pieces = IrcColors::fromHtml(text, Palette::Standard, 20);
    ASSERT_EQ(pieces.size(), 3);
    for (const QByteArray& p : pieces) {
        EXPECT_LE(p.size(), 20);
        EXPECT_TRUE(p.startsWith("\x02\x03" "4")) << p.toStdString();
        EXPECT_TRUE(p.endsWith('\x0F'));
    }
    EXPECT_EQ(IrcColors::stripCodes(QString::fromUtf8(pieces.join())), QString(40, QLatin1Char('x')));

    // A three-byte character where the budget runs out moves whole to the next line.
    for (int pad = 0; pad < 4; ++pad) {
        const QString line = QString(10 + pad, QLatin1Char('a')) + QStringLiteral("\u2039\u203A\u00E9") + QString(10, QLatin1Char('b'));
        const QList<QByteArray> parts = IrcColors::fromHtml(line, Palette::Standard, 14);
        QString joined;
        for (const QByteArray& p : parts) {
            EXPECT_LE(p.size(), 14);
            const QString decoded = QString::fromUtf8(p);
            EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter)) << "pad " << pad;
            joined += decoded;
        }
        EXPECT_EQ(IrcColors::stripCodes(joined), line);
    }
    // A letter and its combining accent stay together.
    const QString accent = QStringLiteral("abcde\u0301fgh");
    const QList<QByteArray> two = IrcColors::fromHtml(accent, Palette::Standard, 6);
    for (const QByteArray& p : two)
        EXPECT_FALSE(QString::fromUtf8(p).startsWith(QChar(0x0301)));
}

TEST(ircColors, StripCodesLeavesTheText)
{
    EXPECT_EQ(IrcColors::stripCodes(QStringLiteral("\x02hi\x02 \x03" "4,12red\x0F \x03" "5x \x03,9 \x1Dy\x1F")),
              QStringLiteral("hi red x ,9 y"));
    EXPECT_EQ(IrcColors::stripCodes(QStringLiteral("\x03" "123")), QStringLiteral("3"));
}

// ---- the pacing, on a clock the test moves ----

TEST(ircPacer, BurstThenOneLinePerInterval)
{
    IrcPacer pacer(2000, 5);
    qint64 now = 50000;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(pacer.take(now)) << i;
    EXPECT_FALSE(pacer.take(now));
    EXPECT_EQ(pacer.waitMs(now), 2000);
    now += 1999;
    EXPECT_FALSE(pacer.take(now));
    EXPECT_EQ(pacer.waitMs(now), 1);
    now += 1;
    EXPECT_TRUE(pacer.take(now));
    EXPECT_FALSE(pacer.take(now));
    // A long quiet time refills the burst, never more than the burst.
    now += 60000;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(pacer.take(now)) << i;
    EXPECT_FALSE(pacer.take(now));
}

TEST(ircPacer, FinishTimeMatchesWhatTakingGives)
{
    for (int queued : {0, 1, 5, 6, 30}) {
        IrcPacer pacer(2000, 5);
        qint64 now = 1000;
        pacer.take(now);  // one line already went
        const qint64 predicted = pacer.finishAt(now, queued);
        qint64 last = now;
        for (int sent = 0; sent < queued;) {
            if (pacer.take(now)) {
                last = now;
                ++sent;
            } else {
                now += pacer.waitMs(now);
            }
        }
        EXPECT_EQ(predicted, last) << queued << " lines";
    }
    // 30 lines from a full bucket at the usual pace: 5 at once, 25 more two seconds apart.
    EXPECT_EQ(IrcPacer(2000, 5).finishAt(0, 30), 50000);
}

TEST(ircPacer, OffAndParsing)
{
    IrcPacer pacer;
    QString error;
    ASSERT_TRUE(IrcPacer::parse(QStringLiteral("off"), &pacer, &error));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(pacer.take(0));
    EXPECT_EQ(pacer.finishAt(7, 1000), 7);
    ASSERT_TRUE(IrcPacer::parse(QStringLiteral("0.5/3"), &pacer, &error));
    EXPECT_EQ(pacer.intervalMs(), 500);
    EXPECT_EQ(pacer.burst(), 3);
    ASSERT_TRUE(IrcPacer::parse(QStringLiteral("2"), &pacer, &error));
    EXPECT_EQ(pacer.burst(), 5);
    for (const char* bad : {"", "fast", "0", "-1", "2/0", "2/5/1", "nan", "1e9"}) {
        error.clear();
        EXPECT_FALSE(IrcPacer::parse(QString::fromLatin1(bad), &pacer, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(ircMessage, ParsesWhatServersSend)
{
    IrcMessage m = IrcMessage::parse(":pal!~p@host PRIVMSG #art :hello :there");
    EXPECT_EQ(m.nick(), "pal");
    EXPECT_EQ(m.command, "PRIVMSG");
    EXPECT_EQ(m.params, (QList<QByteArray>{"#art", "hello :there"}));
    m = IrcMessage::parse("@time=x :srv 001 me :Welcome");
    EXPECT_EQ(m.command, "001");
    EXPECT_EQ(m.params.value(0), "me");
    m = IrcMessage::parse("ping :123");
    EXPECT_EQ(m.command, "PING");
    EXPECT_EQ(m.params.value(0), "123");
    for (const char* nonsense : {":", ":only-prefix", "   ", "\xFF\xFE", ": :"})
        EXPECT_TRUE(IrcMessage::parse(nonsense).params.size() <= 1) << nonsense;
}
