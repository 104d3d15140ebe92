#include "scrolllines.h"

#include "chat/chatops.h"
#include "platform/clock.h"

#include <cmath>

namespace CommonKit {

QString MacroLineSuffix() { return QStringLiteral(" <font face=\"Arial\">") + QChar(0xA0); }

void LinePause(double seconds)
{
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double start = std::nearbyint(Clock::secondsSinceMidnight());
    for (;;) {
        double now = Clock::secondsSinceMidnight();
        // The clock went back to 0 at midnight: count on from the day before.
        if (now < start - 43200)
            now += 86400;
        const double elapsed = now - start;
        // Seconds since midnight carry about 1e-11 s of rounding; a nanosecond short is done.
        if (elapsed >= seconds - 1e-9)
            return;
        Clock::wait(seconds - elapsed);
    }
}

namespace {

// The lines ScrollLines sends, counted the way it splits them.
int lineCount(const QString& text)
{
    int lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')))
            ++lines;
    }
    return lines;
}

} // namespace

ScrollEnd ScrollLines(QString text, double blockPause, double linePause, qint16 linesPerBlock)
{
    if (!text.endsWith('\r') && !text.endsWith('\n'))
        text += "\r\n";
    ScrollEnd result;
    result.count = lineCount(text);
    ScrollWatch watch;
    int block = 0;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = from;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        // The rest would go into nothing, or after a gap the user was never told of.
        if (!watch.before(&result) || !watch.after(SendChatTextAny(text.mid(from, end - from) + MacroLineSuffix()), &result))
            return result;
        LinePause(linePause);
        // The line and its own break: CR LF, a lone CR or a lone LF.
        from = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        Clock::processEvents();
        if (++block == linesPerBlock) {
            LinePause(blockPause);
            block = 0;
        }
    }
    LinePause(0.5);
    return result;
}

QString ScrollEndSentence(const ScrollEnd& end)
{
    return ScrollEndSentence(end, QStringLiteral("macro scroll"), QStringLiteral("lines"),
                             QStringLiteral("the rest of the macro was not sent"));
}

} // namespace CommonKit
