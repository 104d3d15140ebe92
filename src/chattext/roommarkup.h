#pragma once
#include <QString>
#include <QStringView>

// Which parts of a message a room takes as markup: the tags the shop sends (font colour, face and
// size, b, i, u, sup, sub, anchors written "< a href=" or "< A HREF=", br), the usual entities,
// and line breaks. Every other "<" and "&" is text, so art such as "(> <)", "<3" or "<-->" is
// shown as typed.
namespace RoomMarkup {

struct Tag {
    enum Kind { Font, Bold, Italic, Underline, Sup, Sub, Anchor, Break };
    Kind kind = Font;
    bool closing = false;
    // Attributes of a font or an anchor, as written (empty when absent).
    QString color;
    QString face;
    QString size;
    QString href;
    qsizetype end = 0;  // index after the closing '>'
};

// The room tag that starts at text[at] == '<', or false when the '<' there is text. A tag ends
// on its line and before the next '<', so reading a message is linear in its length.
bool readTag(QStringView text, qsizetype at, Tag* tag);

// The entity that starts at text[at] == '&' ("&amp;", "&nbsp;", "&#233;" ...), or an empty
// string when the '&' there is text; *length is its length in the message.
QString readEntity(QStringView text, qsizetype at, qsizetype* length);

// A colour as rooms read it: "#RRGGBB", the bare six digits, or a colour name; invalid when none.
bool parseColour(const QString& value, unsigned* rgb);

// What a message is made of, in order, as a reader of it gets it.
class Sink {
public:
    virtual ~Sink() = default;
    // A run of text with entities resolved; no line breaks inside.
    virtual void text(QStringView run) = 0;
    virtual void tag(const Tag& tag) = 0;
    // CR LF, CR, LF and <br>.
    virtual void lineBreak() = 0;
};

void read(QStringView message, Sink& sink);

} // namespace RoomMarkup
