#include "pages.h"

#include "platform/progfolder.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace Pages {

QString PageFilePath(int n)
{
    return ProgramFolder::file(n == 0 ? QStringLiteral("output/text.gly") : QStringLiteral("output/text%1.gly").arg(n));
}

QString PageFromPageFile(const QString& content)
{
    const qsizetype end = content.indexOf("\r\n");
    return end < 0 ? content : content.left(end);
}

QString AsciiFileText(const Four& pages)
{
    QString text;
    for (const QString& page : pages)
        text += page + "\r\n";
    return text;
}

Four ReadAsciiFile(const QString& content, QString& buffer)
{
    buffer = content;
    if (!buffer.endsWith("\r\n"))
        buffer += "\r\n";
    Four pages;
    for (QString& page : pages) {
        const qsizetype cr = buffer.indexOf('\r');
        if (cr < 0)
            break; // no line left: the remaining pages stay empty
        page = buffer.left(cr);
        buffer.remove(0, cr + 2);
    }
    return pages;
}

QByteArray BoundedAsciiBytes(QIODevice& in, bool* cut)
{
    constexpr qint64 kStep = 64 * 1024;
    QByteArray out;
    *cut = false;
    int lines = 0;
    qint64 lineLength = 0;
    qint64 restLeft = kPageLimit; // of what follows page 4, kept in the pages buffer
    bool afterCr = false; // the character after a CR leaves the buffer with it, whatever it is
    QByteArray chunk;
    while (!(chunk = in.read(kStep)).isEmpty()) {
        const char* p = chunk.constData();
        const char* end = p + chunk.size();
        while (p < end) {
            if (lines == 4) {
                const qint64 n = std::min<qint64>(end - p, restLeft);
                out.append(p, n);
                restLeft -= n;
                if (restLeft == 0)
                    return out;
                break;
            }
            if (afterCr) {
                out.append(*p++);
                afterCr = false;
                continue;
            }
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
            const char* stop = cr ? cr : end;
            const qint64 room = std::max<qint64>(0, kPageLimit - lineLength);
            if (stop - p > room)
                *cut = true;
            out.append(p, std::min<qint64>(stop - p, room));
            lineLength += stop - p;
            p = stop;
            if (cr) {
                out.append('\r');
                ++p;
                afterCr = true;
                ++lines;
                lineLength = 0;
            }
        }
    }
    return out;
}

QString NotArtReason(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        return QStringLiteral("it holds NUL bytes");
    qsizetype controls = 0;
    for (const char b : bytes) {
        const auto c = quint8(b);
        const bool text = c == '\t' || c == '\n' || c == '\r' || c == 2 || c == 3 || c == 15 || c == 22 || c == 29 || c == 31;
        if ((c < 32 && !text) || c == 127)
            ++controls;
    }
    // A stray control character or two is a typing slip; many of them is another kind of file.
    if (controls >= 4 && controls * 20 > bytes.size())
        return QStringLiteral("%1 of its %2 bytes are control characters").arg(controls).arg(bytes.size());
    return {};
}

QString CopyAllFieldsText(const Four& pages)
{
    QString text;
    for (int i = 0; i < 3; ++i)
        if (!pages[i].isEmpty())
            text += pages[i] + "\r\n";
    if (!pages[3].isEmpty())
        text += pages[3];
    return text;
}

} // namespace Pages
