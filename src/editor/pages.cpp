#include "pages.h"

#include "platform/progfolder.h"

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
