#include "irccolors.h"

#include <QColor>
#include <QHash>
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

struct Tag {
    QString name;  // lower case
    bool closing = false;
    QHash<QString, QString> attributes;  // names in lower case
    qsizetype end = 0;                   // index after '>'
};

bool isTagName(const QString& name)
{
    static const QStringList known = {QStringLiteral("font"), QStringLiteral("b"),    QStringLiteral("strong"),
                                      QStringLiteral("i"),    QStringLiteral("em"),   QStringLiteral("u"),
                                      QStringLiteral("sup"),  QStringLiteral("sub"),  QStringLiteral("a"),
                                      QStringLiteral("br"),   QStringLiteral("p"),    QStringLiteral("span"),
                                      QStringLiteral("html"), QStringLiteral("body"), QStringLiteral("s"),
                                      QStringLiteral("strike")};
    return known.contains(name);
}

// A tag at html[at] == '<'. The room accepts "< a href=" with a space after "<". Anything that
// is not one of the tags rooms understand stays text, so art such as "<3" or "<-->" survives.
bool readTag(const QString& html, qsizetype at, Tag* tag)
{
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    auto skipSpace = [&] {
        while (i < n && html[i].isSpace() && html[i] != QLatin1Char('\r') && html[i] != QLatin1Char('\n'))
            ++i;
    };
    skipSpace();
    if (i < n && html[i] == QLatin1Char('/')) {
        tag->closing = true;
        ++i;
        skipSpace();
    }
    const qsizetype nameStart = i;
    while (i < n && html[i].isLetterOrNumber() && html[i].unicode() < 128)
        ++i;
    tag->name = html.mid(nameStart, i - nameStart).toLower();
    if (!isTagName(tag->name))
        return false;
    // "<br/>" closes itself; "<bx>" is no tag of ours.
    if (i < n && html[i] != QLatin1Char('>') && html[i] != QLatin1Char('/') && !html[i].isSpace())
        return false;
    // Attributes up to the '>' that is not inside quotes.
    while (i < n) {
        skipSpace();
        if (i < n && (html[i] == QLatin1Char('\r') || html[i] == QLatin1Char('\n')))
            return false;
        if (i >= n)
            return false;
        if (html[i] == QLatin1Char('>')) {
            tag->end = i + 1;
            return true;
        }
        if (html[i] == QLatin1Char('/')) {
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < n && !html[i].isSpace() && html[i] != QLatin1Char('=') && html[i] != QLatin1Char('>'))
            ++i;
        const QString key = html.mid(keyStart, i - keyStart).toLower();
        skipSpace();
        QString value;
        if (i < n && html[i] == QLatin1Char('=')) {
            ++i;
            skipSpace();
            if (i < n && (html[i] == QLatin1Char('"') || html[i] == QLatin1Char('\''))) {
                const QChar quote = html[i++];
                const qsizetype close = html.indexOf(quote, i);
                if (close < 0)
                    return false;
                value = html.mid(i, close - i);
                // A tag ends on its line: a quote left open runs into the next line, and what
                // follows is text (the line break stays a line break).
                if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
                    return false;
                i = close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !html[i].isSpace() && html[i] != QLatin1Char('>'))
                    ++i;
                value = html.mid(valueStart, i - valueStart);
            }
        }
        if (!key.isEmpty())
            tag->attributes.insert(key, value);
    }
    return false;
}

// "&amp;", "&#233;" and their kind; anything else is a plain "&".
QString readEntity(const QString& html, qsizetype at, qsizetype* length)
{
    const qsizetype semi = html.indexOf(QLatin1Char(';'), at);
    if (semi < 0 || semi - at > 10)
        return {};
    const QString name = html.mid(at + 1, semi - at - 1);
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},   {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},    {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},  {QStringLiteral("nbsp"), QString(QChar(0xA0))},
    };
    QString out;
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                     : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code < 0x20 && code != '\t'))
            return {};
        const char32_t c = code;
        out = QString::fromUcs4(&c, 1);
    } else {
        out = named.value(name.toLower());
    }
    if (!out.isEmpty())
        *length = semi - at + 1;
    return out;
}

int colourOf(const QString& value, Palette palette, int current)
{
    QString v = value.trimmed();
    // Rooms take "#RRGGBB" and also the bare six digits.
    if (v.size() == 6 && !v.startsWith(QLatin1Char('#'))) {
        bool hex = false;
        v.toUInt(&hex, 16);
        if (hex)
            v.prepend(QLatin1Char('#'));
    }
    const QColor c = QColor::fromString(v);
    return c.isValid() ? nearest(c.rgb(), palette) : current;
}

class Parser {
public:
    explicit Parser(Palette palette)
        : palette_(palette)
    {
    }

    std::vector<Line> parse(const QString& html)
    {
        lines_.assign(1, {});
        const qsizetype n = html.size();
        QString run;
        for (qsizetype i = 0; i < n;) {
            const QChar c = html[i];
            if (c == QLatin1Char('<')) {
                Tag tag;
                if (readTag(html, i, &tag)) {
                    flush(run);
                    apply(tag);
                    i = tag.end;
                    continue;
                }
            } else if (c == QLatin1Char('&')) {
                qsizetype length = 0;
                const QString entity = readEntity(html, i, &length);
                if (length) {
                    run += entity;
                    i += length;
                    continue;
                }
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                flush(run);
                lines_.emplace_back();
                i += (c == QLatin1Char('\r') && i + 1 < n && html[i + 1] == QLatin1Char('\n')) ? 2 : 1;
                continue;
            } else if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
                // Other control characters would be read as IRC codes or cut the command.
                ++i;
                continue;
            }
            run += c;
            ++i;
        }
        flush(run);
        if (anchor_.active)
            closeAnchor();
        return lines_;
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

    void flush(QString& run)
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
            lines_.back().push_back({run.mid(from, to - from), s});
            from = to;
        }
        run.clear();
    }

    void text(const QString& s)
    {
        QString copy = s;
        flush(copy);
    }

    void closeAnchor()
    {
        const QString url = anchor_.url.trimmed();
        anchor_.active = false;
        if (url.isEmpty() || anchor_.text.trimmed() == url)
            return;
        // The address after its text, in angle brackets as addresses are quoted in plain text.
        text(QStringLiteral(" <%1>").arg(url));
    }

    static void change(int& depth, bool closing)
    {
        depth = closing ? std::max(0, depth - 1) : depth + 1;
    }

    void apply(const Tag& tag)
    {
        const QString& name = tag.name;
        if (name == QLatin1String("font") || name == QLatin1String("span")) {
            if (tag.closing) {
                if (!colours_.empty())
                    colours_.pop_back();
            } else {
                const int current = colours_.empty() ? -1 : colours_.back();
                colours_.push_back(tag.attributes.contains(QStringLiteral("color"))
                                       ? colourOf(tag.attributes.value(QStringLiteral("color")), palette_, current)
                                       : current);
            }
        } else if (name == QLatin1String("b") || name == QLatin1String("strong")) {
            change(bold_, tag.closing);
        } else if (name == QLatin1String("i") || name == QLatin1String("em")) {
            change(italic_, tag.closing);
        } else if (name == QLatin1String("u")) {
            change(underline_, tag.closing);
        } else if (name == QLatin1String("br") || (name == QLatin1String("p") && !tag.closing && hasText())) {
            lines_.emplace_back();
        } else if (name == QLatin1String("a")) {
            if (anchor_.active)
                closeAnchor();
            if (!tag.closing) {
                anchor_.active = true;
                anchor_.url = tag.attributes.value(QStringLiteral("href"));
                anchor_.text.clear();
            }
        }
        // sup, sub, s, strike, html and body: IRC has nothing for them; their text stays.
    }

    bool hasText() const
    {
        for (const Line& l : lines_)
            if (!l.empty())
                return true;
        return false;
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

} // namespace IrcColors
