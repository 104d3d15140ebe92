#pragma once
#include <QByteArray>
#include <QString>

// How a room shows a message: the sender in bold, then the message's own HTML (font colours and
// faces, bold, sup, sub, anchors written with a space after "<"), line breaks kept.
namespace RoomHtml {

QString decode(const QByteArray& bytes);
QString message(const QByteArray& sender, const QByteArray& bytes);
// A message from elsewhere shown as the plain text it is.
QString plainMessage(const QByteArray& sender, const QByteArray& bytes);
QString notice(const QString& text);

} // namespace RoomHtml
