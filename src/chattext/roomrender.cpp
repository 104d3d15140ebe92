#include "chattext/roomrender.h"

#include "chattext/roommarkup.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace RoomRender {

namespace {

// HTML's font sizes 1..7 against the room's own size (3).
constexpr double kSizeScale[8] = {1.0, 0.6, 0.8, 1.0, 1.2, 1.5, 2.0, 3.0};

// The link colour rooms use when the message gives none.
constexpr QRgb kLinkColour = 0xFF0000EE;

int sizeOf(const QString& value, int current)
{
    const QString v = value.trimmed();
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!ok)
        return current;
    // "+1" and "-2" are relative to the room's size.
    const int size = (v.startsWith(QLatin1Char('+')) || v.startsWith(QLatin1Char('-'))) ? 3 + n : n;
    return std::clamp(size, 1, 7);
}

struct FontState {
    bool hasColour = false;
    QRgb colour = 0;
    QString face;
    int size = 0;  // 0: the room's size
};

// Builds the character formats as the markup goes by and writes the text in them.
class Writer : public RoomMarkup::Sink {
public:
    Writer(QTextCursor& cursor, const Options& options)
        : cursor_(cursor)
        , options_(options)
        , base_(cursor.charFormat())
        , format_(base_)
    {
        baseSize_ = base_.hasProperty(QTextFormat::FontPointSize)
                        ? base_.fontPointSize()
                        : cursor.document()->defaultFont().pointSizeF();
    }

    void text(QStringView run) override
    {
        if (dirty_)
            update();
        // Control characters show as boxes in a document; a room shows nothing for them.
        QString shown;
        shown.reserve(run.size());
        for (QChar c : run)
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                shown += c;
        if (!shown.isEmpty())
            cursor_.insertText(shown, format_);
    }

    void lineBreak() override
    {
        if (dirty_)
            update();
        cursor_.insertBlock(cursor_.blockFormat(), format_);
    }

    void tag(const RoomMarkup::Tag& tag) override
    {
        using RoomMarkup::Tag;
        dirty_ = true;
        switch (tag.kind) {
        case Tag::Font:
            if (tag.closing) {
                if (!fonts_.empty())
                    fonts_.pop_back();
            } else {
                FontState next = fonts_.empty() ? FontState() : fonts_.back();
                unsigned rgb = 0;
                if (!tag.color.isEmpty() && RoomMarkup::parseColour(tag.color, &rgb)) {
                    next.hasColour = true;
                    next.colour = rgb;
                }
                if (!tag.face.trimmed().isEmpty())
                    next.face = tag.face.trimmed();
                if (!tag.size.isEmpty())
                    next.size = sizeOf(tag.size, next.size ? next.size : 3);
                fonts_.push_back(next);
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
        case Tag::Sup:
            change(sup_, tag.closing);
            break;
        case Tag::Sub:
            change(sub_, tag.closing);
            break;
        case Tag::Anchor:
            anchor_ = !tag.closing;
            href_ = tag.closing ? QString() : tag.href;
            break;
        case Tag::Break:
            break;
        }
    }

private:
    static void change(int& depth, bool closing) { depth = closing ? std::max(0, depth - 1) : depth + 1; }

    void update()
    {
        dirty_ = false;
        QTextCharFormat f = base_;
        if (bold_)
            f.setFontWeight(QFont::Bold);
        if (italic_)
            f.setFontItalic(true);
        if (underline_ || anchor_)
            f.setFontUnderline(true);
        if (sup_ > sub_)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (sub_ > sup_)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (anchor_) {
            f.setAnchor(true);
            f.setAnchorHref(href_);
            f.setForeground(QColor::fromRgb(kLinkColour));
        }
        if (!fonts_.empty()) {
            const FontState& s = fonts_.back();
            if (s.hasColour)
                f.setForeground(QColor::fromRgb(s.colour));
            if (!s.face.isEmpty() && !options_.fixedWidth)
                f.setFontFamilies(QStringList{s.face});
            if (s.size && baseSize_ > 0)
                f.setFontPointSize(baseSize_ * kSizeScale[s.size]);
        }
        format_ = f;
    }

    QTextCursor& cursor_;
    const Options& options_;
    const QTextCharFormat base_;
    QTextCharFormat format_;
    double baseSize_ = 0;
    bool dirty_ = false;
    // Senders rarely close their fonts; every open one stays on the stack until closed.
    std::vector<FontState> fonts_;
    int bold_ = 0, italic_ = 0, underline_ = 0, sup_ = 0, sub_ = 0;
    bool anchor_ = false;
    QString href_;
};

QTextCursor endOfNewLine(QTextDocument* document)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    if (!document->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    return cursor;
}

} // namespace

namespace {

// Art lines up only where every character the shop sends, the blanks among them, takes one
// advance; some monospace faces give the non-breaking blank a width of its own.
bool evenlySpaced(const QFont& f)
{
    if (!QFontInfo(f).fixedPitch())
        return false;
    const QFontMetricsF m(f);
    const qreal advance = m.horizontalAdvance(QLatin1Char('W'));
    for (const QChar c : {QChar(u'i'), QChar(u' '), QChar(0xA0), QChar(u'|'), QChar(0xB0)})
        if (qAbs(m.horizontalAdvance(c) - advance) > 0.01)
            return false;
    return true;
}

} // namespace

QFont roomFont(bool fixedWidth)
{
    if (!fixedWidth)
        return QFont();
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (evenlySpaced(f))
        return f;
    for (const char* family : {"DejaVu Sans Mono", "Liberation Mono", "Noto Mono", "monospace"}) {
        QFont candidate{QString::fromLatin1(family), f.pointSize() > 0 ? f.pointSize() : 10};
        candidate.setStyleHint(QFont::TypeWriter);
        candidate.setFixedPitch(true);
        if (evenlySpaced(candidate))
            return candidate;
    }
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void prepare(QTextDocument* document, const Options& options)
{
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(roomFont(options.fixedWidth));
}

void render(QTextCursor& cursor, QStringView message, const Options& options)
{
    Writer writer(cursor, options);
    cursor.beginEditBlock();
    RoomMarkup::read(message, writer);
    cursor.endEditBlock();
}

void appendMessage(QTextDocument* document, const QString& sender, QStringView message, const Options& options)
{
    QTextCursor cursor = endOfNewLine(document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(sender + QLatin1Char(':'), bold);
    cursor.insertText(QStringLiteral(" "), QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    render(cursor, message, options);
}

void appendPlain(QTextDocument* document, const QString& sender, QStringView text)
{
    QTextCursor cursor = endOfNewLine(document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(sender + QLatin1Char(':'), bold);
    QString body = QStringLiteral(" ") + text.toString();
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // insertText starts a new block at every "\n".
    cursor.insertText(body, QTextCharFormat());
}

void appendNotice(QTextDocument* document, const QString& text)
{
    QTextCursor cursor = endOfNewLine(document);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertText(text, italic);
}

QString plainText(const QTextDocument* document)
{
    return document->toPlainText();
}

} // namespace RoomRender
