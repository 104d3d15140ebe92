#pragma once
#include <QFont>
#include <QString>
#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

// How a room shows text: the markup of RoomMarkup applied, every other character as typed,
// blanks and non-breaking blanks with their width, each line of a message a line of the room.
// The room and the shop's fade preview both render through here, so they show the same.
namespace RoomRender {

struct Options {
    // Art keeps its alignment only in a fixed-width font; faces are then not applied.
    bool fixedWidth = true;
};

// The room's font: a fixed-width one for art, or the desktop's usual one.
QFont roomFont(bool fixedWidth);

// A document ready to take messages: the room's font, no undo (a room only grows).
void prepare(QTextDocument* document, const Options& options);

// The message at the cursor, in the cursor's character format as the base; each line break
// of the message starts a new block.
void render(QTextCursor& cursor, QStringView message, const Options& options);

// A posted message: a new block (unless the document is empty), the sender in bold, a blank,
// then the message.
void appendMessage(QTextDocument* document, const QString& sender, QStringView message, const Options& options);
// A message from elsewhere, shown as the plain text it is.
void appendPlain(QTextDocument* document, const QString& sender, QStringView text);
// A line of the client's own, in italics.
void appendNotice(QTextDocument* document, const QString& text);

// The document as the user reads it: one line per block, non-breaking blanks as blanks.
QString plainText(const QTextDocument* document);

} // namespace RoomRender
