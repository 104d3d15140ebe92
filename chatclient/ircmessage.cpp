#include "ircmessage.h"

#include <algorithm>

namespace {

// A line held while it arrives: the most a tagged line may be, and one byte to see it is more.
constexpr qsizetype kHeld = IrcLineReader::kLongestTags + IrcLineReader::kLongest + 1;

// Cut at most n bytes, never inside a UTF-8 character.
QByteArray cutAt(const QByteArray& text, qsizetype n)
{
    if (text.size() <= n)
        return text;
    qsizetype end = n;
    for (int back = 0; back < 3 && end > 0 && (uchar(text[end]) & 0xC0) == 0x80; ++back)
        --end;
    return text.left(end);
}

} // namespace

IrcMessage IrcMessage::parse(const QByteArray& raw)
{
    IrcMessage m;
    QByteArray line = raw;
    if (line.startsWith('@')) {  // message tags we do not use
        const qsizetype sp = line.indexOf(' ');
        line = sp < 0 ? QByteArray() : line.mid(sp + 1);
    }
    line = line.trimmed();
    if (line.startsWith(':')) {
        const qsizetype sp = line.indexOf(' ');
        m.prefix = line.mid(1, sp < 0 ? -1 : sp - 1);
        line = sp < 0 ? QByteArray() : line.mid(sp + 1).trimmed();
    }
    QByteArray trailing;
    bool hasTrailing = false;
    const qsizetype colon = line.indexOf(" :");
    if (colon >= 0) {
        trailing = line.mid(colon + 2);
        line = line.left(colon);
        hasTrailing = true;
    }
    QList<QByteArray> words = line.split(' ');
    words.removeAll(QByteArray());
    if (!words.isEmpty())
        m.command = words.takeFirst().toUpper();
    m.params = words;
    if (hasTrailing)
        m.params.append(trailing);
    return m;
}

bool IrcMessage::isIrc() const
{
    if (command.isEmpty())
        return false;
    bool letters = true;
    bool digits = command.size() == 3;
    for (char c : command) {
        letters = letters && c >= 'A' && c <= 'Z';
        digits = digits && c >= '0' && c <= '9';
    }
    return letters || digits;
}

void IrcLineReader::clear()
{
    partial_.clear();
}

void IrcLineReader::finish(QList<Line>& out)
{
    Line l;
    QByteArray raw = partial_;
    partial_.clear();
    if (raw.endsWith('\r'))
        raw.chop(1);
    qsizetype body = 0;
    if (raw.startsWith('@')) {
        const qsizetype sp = raw.indexOf(' ');
        if (sp < 0 || sp + 1 > kLongestTags) {
            // Where the message starts is lost with the tags.
            out.append({{}, true});
            return;
        }
        body = sp + 1;
    }
    if (raw.size() - body > kLongest) {
        raw = raw.left(body) + cutAt(raw.mid(body), kLongest);
        l.cut = true;
    }
    l.text = raw;
    out.append(l);
}

QList<IrcLineReader::Line> IrcLineReader::feed(const QByteArray& bytes)
{
    QList<Line> out;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', from);
        const qsizetype end = nl < 0 ? bytes.size() : nl;
        // Only what can still belong to an allowed line is kept; a line that fills it is too long.
        const qsizetype room = kHeld - partial_.size();
        if (room > 0)
            partial_ += bytes.mid(from, std::min(room, end - from));
        if (nl < 0)
            break;
        finish(out);
        from = nl + 1;
    }
    return out;
}
