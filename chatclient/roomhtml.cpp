#include "roomhtml.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace RoomHtml {

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

QString message(const QByteArray& sender, const QByteArray& bytes)
{
    QString body = decode(bytes);
    // Senders write anchors as "< a href=" so that plain rooms do not eat them; close the gap.
    static const QRegularExpression spacedAnchor(QStringLiteral("<\\s+(/?\\s*a)\\b"),
                                                 QRegularExpression::CaseInsensitiveOption);
    body.replace(spacedAnchor, QStringLiteral("<\\1"));
    body.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    body.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    body.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
    return QStringLiteral("<b>%1:</b>&nbsp;%2").arg(decode(sender).toHtmlEscaped(), body);
}

QString plainMessage(const QByteArray& sender, const QByteArray& bytes)
{
    QString body = decode(bytes).toHtmlEscaped();
    body.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return QStringLiteral("<b>%1:</b>&nbsp;%2").arg(decode(sender).toHtmlEscaped(), body);
}

QString notice(const QString& text)
{
    return QStringLiteral("<i>%1</i>").arg(text.toHtmlEscaped());
}

} // namespace RoomHtml
