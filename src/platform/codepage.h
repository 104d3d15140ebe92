#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252 at the edges: every file and every chat text is single-byte text in this code
// page; in memory text is QString.
namespace CodePage {

QString toUnicode(const QByteArray& bytes);
QByteArray fromUnicode(const QString& text);
// True when every character of the text has a Windows-1252 byte.
bool canEncode(const QString& text);
// The text with every character that has no Windows-1252 byte removed.
QString encodable(const QString& text);
// The first character (one or two UTF-16 units) that has no Windows-1252 byte; "" when none.
QString firstUnencodable(const QString& text);
// That character as a user reads it: "Ω" (U+03A9).
QString describeCharacter(const QString& character);

} // namespace CodePage

class QObject;
class QValidator;

namespace CodePage {
// A validator that refuses text Windows-1252 cannot hold, so what is shown is what is saved.
QValidator* validator(QObject* parent);
}
