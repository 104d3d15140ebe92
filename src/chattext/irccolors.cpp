#include "chattext/irccolors.h"

#include "chattext/roommarkup.h"

#include <QTextBoundaryFinder>

#include <vector>

namespace IrcColors {

namespace {

constexpr char kBold = '\x02';
constexpr char kColour = '\x03';
constexpr char kReset = '\x0F';
constexpr char kItalic = '\x1D';
constexpr char kUnderline = '\x1F';

// 0..15 are the colours every client has; 16..98 the fixed extended table.
constexpr QRgb kTable[99] = {
    0xFFFFFF, 0x000000, 0x00007F, 0x009300, 0xFF0000, 0x7F0000, 0x9C009C, 0xFC7F00,
    0xFFFF00, 0x00FC00, 0x009393, 0x00FFFF, 0x0000FC, 0xFF00FF, 0x7F7F7F, 0xD2D2D2,
    0x470000, 0x472100, 0x474700, 0x324700, 0x004700, 0x00472C, 0x004747, 0x002747,
    0x000047, 0x2E0047, 0x470047, 0x47002A, 0x740000, 0x743A00, 0x747400, 0x517400,
    0x007400, 0x007449, 0x007474, 0x004074, 0x000074, 0x4B0074, 0x740074, 0x740045,
    0xB50000, 0xB56300, 0xB5B500, 0x7DB500, 0x00B500, 0x00B571, 0x00B5B5, 0x0063B5,
    0x0000B5, 0x7500B5, 0xB500B5, 0xB5006B, 0xFF0000, 0xFF8C00, 0xFFFF00, 0xB2FF00,
    0x00FF00, 0x00FFA0, 0x00FFFF, 0x008CFF, 0x0000FF, 0xA500FF, 0xFF00FF, 0xFF0098,
    0xFF5959, 0xFFB459, 0xFFFF71, 0xCFFF60, 0x6FFF6F, 0x65FFC9, 0x6DFFFF, 0x59B4FF,
    0x5959FF, 0xC459FF, 0xFF66FF, 0xFF59BC, 0xFF9C9C, 0xFFD39C, 0xFFFF9C, 0xE2FF9C,
    0x9CFF9C, 0x9CFFDB, 0x9CFFFF, 0x9CD3FF, 0x9C9CFF, 0xDC9CFF, 0xFF9CFF, 0xFF94D3,
    0x000000, 0x131313, 0x282828, 0x363636, 0x4D4D4D, 0x656565, 0x818181, 0x9F9F9F,
    0xBCBCBC, 0xE2E2E2, 0xFFFFFF,
};

// A cheap distance that weighs red, green and blue roughly as the eye does.
int distance(QRgb a, QRgb b)
{
    const int rmean = (qRed(a) + qRed(b)) / 2;
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return (((512 + rmean) * dr * dr) >> 8) + 4 * dg * dg + (((767 - rmean) * db * db) >> 8);
}

struct Style {
    int colour = -1;  // -1: the reader's own colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Style&) const = default;
};

struct Cell {
    QString text;  // one character as the reader sees it (a grapheme)
    Style style;
};

using Line = std::vector<Cell>;

// The room's own markup, read as the room reads it, as IRC lines of cells.
class Parser : public RoomMarkup::Sink {
public:
    explicit Parser(Palette palette)
        : palette_(palette)
    {
    }

    std::vector<Line> parse(const QString& html)
    {
        lines_.assign(1, {});
        RoomMarkup::read(html, *this);
        if (anchor_.active)
            closeAnchor();
        return lines_;
    }

    void text(QStringView run) override
    {
        QString kept;
        kept.reserve(run.size());
        // Control characters would be read as IRC codes or cut the command.
        for (QChar c : run)
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                kept += c;
        add(kept);
    }

    void lineBreak() override { lines_.emplace_back(); }

    void tag(const RoomMarkup::Tag& tag) override
    {
        using RoomMarkup::Tag;
        switch (tag.kind) {
        case Tag::Font:
            if (tag.closing) {
                if (!colours_.empty())
                    colours_.pop_back();
            } else {
                const int current = colours_.empty() ? -1 : colours_.back();
                unsigned rgb = 0;
                colours_.push_back(!tag.color.isEmpty() && RoomMarkup::parseColour(tag.color, &rgb)
                                       ? nearest(rgb, palette_)
                                       : current);
            }
            break;
        case Tag::Bold:
            change(bold_, tag.closing);
            break;
        case Tag::Italic:
            change(italic_, tag.closing);
            break;
        case Tag::Underline:
            change(underline_, tag.closing);
            break;
        case Tag::Anchor:
            if (anchor_.active)
                closeAnchor();
            if (!tag.closing) {
                anchor_.active = true;
                anchor_.url = tag.href;
                anchor_.text.clear();
            }
            break;
        default:
            // sup and sub: IRC has nothing for them; their text stays.
            break;
        }
    }

private:
    Style style() const
    {
        Style s;
        s.colour = colours_.empty() ? -1 : colours_.back();
        s.bold = bold_ > 0;
        s.italic = italic_ > 0;
        s.underline = underline_ > 0;
        return s;
    }

    void add(const QString& run)
    {
        if (run.isEmpty())
            return;
        if (anchor_.active)
            anchor_.text += run;
        const Style s = style();
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, run);
        qsizetype from = 0;
        while (finder.toNextBoundary() >= 0) {
            const qsizetype to = finder.position();
            // A character outside the first plane is one cell, even where the boundary finder
            // does not know it.
            if (to < run.size() && run[to].isLowSurrogate() && run[to - 1].isHighSurrogate())
                continue;
            lines_.back().push_back({run.mid(from, to - from), s});
            from = to;
        }
    }

    void closeAnchor()
    {
        const QString url = anchor_.url.trimmed();
        anchor_.active = false;
        if (url.isEmpty() || anchor_.text.trimmed() == url)
            return;
        // The address after its text, in angle brackets as addresses are quoted in plain text.
        add(QStringLiteral(" <%1>").arg(url));
    }

    static void change(int& depth, bool closing)
    {
        depth = closing ? std::max(0, depth - 1) : depth + 1;
    }

    struct Anchor {
        bool active = false;
        QString url;
        QString text;
    };

    Palette palette_;
    std::vector<Line> lines_;
    std::vector<int> colours_;
    int bold_ = 0;
    int italic_ = 0;
    int underline_ = 0;
    Anchor anchor_;
};

// The codes that turn what the reader has (from) into to, for text starting with next.
QByteArray transition(const Style& from, const Style& to, QChar next, QChar afterNext)
{
    QByteArray codes;
    if (from.bold != to.bold)
        codes += kBold;
    if (from.italic != to.italic)
        codes += kItalic;
    if (from.underline != to.underline)
        codes += kUnderline;
    if (from.colour == to.colour)
        return codes;
    codes += kColour;
    bool guard = false;
    if (to.colour >= 0) {
        // Two digits when a digit follows, or the digit would be read as part of the number.
        codes += (to.colour < 10 && next.isDigit()) ? '0' + QByteArray::number(to.colour) : QByteArray::number(to.colour);
        guard = next == QLatin1Char(',') && afterNext.isDigit();
    } else {
        guard = next.isDigit() || next == QLatin1Char(',');
    }
    // A comma and a digit after a colour would be read as a background: two bold toggles that
    // show nothing end the code.
    if (guard)
        codes += QByteArray(1, kBold) + kBold;
    return codes;
}

bool isBlank(const QString& grapheme)
{
    for (QChar c : grapheme)
        if (!c.isSpace())
            return false;
    return true;
}

void render(const Line& line, int budget, QList<QByteArray>* out)
{
    if (line.empty())
        return;
    QByteArray piece;
    bool content = false;
    Style shown;
    for (size_t i = 0; i < line.size(); ++i) {
        const Cell& cell = line[i];
        const QByteArray bytes = cell.text.toUtf8();
        const QChar next = cell.text.at(0);
        const QChar afterNext = cell.text.size() > 1 ? cell.text.at(1)
                                : i + 1 < line.size() ? line[i + 1].text.at(0)
                                                      : QChar();
        auto target = [&](const Style& from) {
            Style t = cell.style;
            // A colour change on a space shows nothing (unless underlined): wait for the next
            // character, so a fade costs a code per visible colour, not per space.
            if (isBlank(cell.text) && !t.underline && !from.underline)
                t.colour = from.colour;
            return t;
        };
        Style want = target(shown);
        QByteArray codes = transition(shown, want, next, afterNext);
        if (budget > 0 && content && piece.size() + codes.size() + bytes.size() + 1 > budget) {
            piece += kReset;
            out->append(piece);
            piece.clear();
            content = false;
            shown = Style();
            want = target(shown);
            codes = transition(shown, want, next, afterNext);
        }
        piece += codes;
        piece += bytes;
        shown = want;
        content = true;
    }
    piece += kReset;
    out->append(piece);
}

} // namespace

QRgb rgb(int code)
{
    return (code >= 0 && code < 99) ? (kTable[code] | 0xFF000000u) : 0;
}

int nearest(QRgb colour, Palette palette)
{
    const int count = palette == Palette::Extended ? 99 : 16;
    int best = 0;
    int bestDistance = distance(colour, kTable[0]);
    for (int i = 1; i < count; ++i) {
        const int d = distance(colour, kTable[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

QList<QByteArray> fromHtml(const QString& html, Palette palette, int budget)
{
    Parser parser(palette);
    QList<QByteArray> out;
    for (const Line& line : parser.parse(html))
        render(line, budget, &out);
    return out;
}

QString stripCodes(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(kColour)) {
            // Up to two digits of colour, then a comma and up to two digits of background.
            auto digits = [&] {
                int k = 0;
                while (k < 2 && i + 1 < n && text[i + 1].isDigit()) {
                    ++i;
                    ++k;
                }
                return k;
            };
            if (digits() && i + 2 < n && text[i + 1] == QLatin1Char(',') && text[i + 2].isDigit()) {
                ++i;
                digits();
            }
        } else if (c == QLatin1Char('\x04')) {
            // A hex colour: six hex digits.
            int k = 0;
            while (k < 6 && i + 1 < n && isxdigit(text[i + 1].toLatin1())) {
                ++i;
                ++k;
            }
        } else if (c.unicode() >= 0x20 || c == QLatin1Char('\t')) {
            out += c;
        }
    }
    return out;
}

QString forPaste(const QStringList& lines, Palette palette)
{
    QStringList out;
    for (const QString& line : lines) {
        // A pasted line is one message: the line's own breaks would make it several.
        const QList<QByteArray> irc = fromHtml(line, palette);
        QStringList parts;
        for (const QByteArray& piece : irc)
            parts << QString::fromUtf8(piece);
        QString text = line.isEmpty() ? QString() : parts.join(QLatin1Char(' '));
        // A leading slash would run as a command in the chat program; the reset code before it
        // shows nothing and makes it text.
        if (text.startsWith(QLatin1Char('/')))
            text.prepend(QLatin1Char('\x0f'));
        out << text;
    }
    return out.join(QLatin1Char('\n'));
}

} // namespace IrcColors
