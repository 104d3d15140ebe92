// What the IRC server sends and what the room posts, on any bytes: a server line always parses
// (upper-case command, no blank inside a middle parameter) and is cut where the protocol ends it;
// a room message becomes lines of valid
// UTF-8, each within the budget and ending in a reset; stripping leaves no colour or style code.
#include "fuzzinput.h"

#include "ircbridge.h"
#include "chattext/irccolors.h"

#include <QStringDecoder>

namespace {

bool validUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const quint8 knobs = in.byte();
    const QByteArray line = in.field();
    const QByteArray html = in.rest();

    const IrcMessage m = IrcMessage::parse(line);
    FUZZ_CHECK(m.command == m.command.toUpper());
    FUZZ_CHECK(!m.command.contains(' '));
    for (qsizetype i = 0; i + 1 < m.params.size(); ++i)
        FUZZ_CHECK(!m.params[i].contains(' ') && !m.params[i].isEmpty());
    FUZZ_CHECK(!m.prefix.contains(' '));

    // The same bytes read from a server in two pieces: one line per line end, none longer than
    // the protocol allows, whatever the bytes.
    IrcLineReader reader;
    const qsizetype split = qsizetype(knobs) * html.size() / 256;
    QList<IrcLineReader::Line> lines = reader.feed(html.left(split));
    lines += reader.feed(html.mid(split));
    FUZZ_CHECK(lines.size() == html.count('\n'));
    for (const IrcLineReader::Line& l : lines) {
        FUZZ_CHECK(!l.text.contains('\n'));
        const qsizetype tags = l.text.startsWith('@') ? l.text.indexOf(' ') + 1 : 0;
        FUZZ_CHECK(tags <= IrcLineReader::kLongestTags);
        FUZZ_CHECK(l.text.size() - tags <= IrcLineReader::kLongest);
    }

    const auto palette = (knobs & 1) ? IrcColors::Palette::Extended : IrcColors::Palette::Standard;
    const int budget = (knobs >> 1) == 0 ? 0 : 16 + (knobs >> 1) * 4;
    const QString text = QString::fromLatin1(html);
    for (const QByteArray& out : IrcColors::fromHtml(text, palette, budget)) {
        FUZZ_CHECK(validUtf8(out));
        FUZZ_CHECK(budget == 0 || out.size() <= budget);
        FUZZ_CHECK(out.endsWith('\x0F'));
        FUZZ_CHECK(!out.contains('\r') && !out.contains('\n'));
    }
    const QString plain = IrcColors::stripCodes(QString::fromUtf8(line));
    for (const QChar c : plain)
        FUZZ_CHECK(c != u'\x02' && c != u'\x03' && c != u'\x0F' && c != u'\x16' && c != u'\x1D' && c != u'\x1F');
    return 0;
}
