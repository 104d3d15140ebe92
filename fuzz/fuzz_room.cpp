// How a room renders any message: it ends, shows no more characters than the message holds and no
// control character but tab and line break; text with its '<' and '&' written as entities shows as
// typed; and every line the room shows is a line the IRC side sends, codes taken out.
#include "fuzzinput.h"

#include "chattext/irccolors.h"
#include "chattext/roomrender.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString shown(const QString& message, bool fixedWidth)
{
    QTextDocument doc;
    RoomRender::Options options;
    options.fixedWidth = fixedWidth;
    RoomRender::prepare(&doc, options);
    QTextCursor cursor(&doc);
    RoomRender::render(cursor, message, options);
    return RoomRender::plainText(&doc);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const quint8 knobs = in.byte();
    const QString message = QString::fromLatin1(in.rest());

    const QString plain = shown(message, knobs & 1);
    FUZZ_CHECK(plain.size() <= message.size());
    for (const QChar c : plain)
        FUZZ_CHECK(c.unicode() >= 0x20 || c == u'\t' || c == u'\n');

    // The same characters written so that nothing in them is markup.
    QString typed;
    for (const QChar c : message)
        if (c.unicode() >= 0x20 && c.unicode() != 0xA0)
            typed += c;
    QString escaped = typed;
    escaped.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
    FUZZ_CHECK(shown(escaped, true) == typed);

    // Without anchors (whose address IRC adds after the text), what IRC readers see of each line
    // is what the room shows, empty lines aside.
    if (!message.contains(u'<') || !message.contains(QLatin1Char('a'), Qt::CaseInsensitive)) {
        QStringList room = plain.split(u'\n');
        room.removeAll(QString());
        QStringList irc;
        for (const QByteArray& line : IrcColors::fromHtml(message, IrcColors::Palette::Standard))
            irc << IrcColors::stripCodes(QString::fromUtf8(line)).replace(QChar(0xA0), u' ');
        irc.removeAll(QString());
        FUZZ_CHECK(irc == room);
    }
    return 0;
}
