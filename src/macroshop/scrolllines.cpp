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

void ScrollLines(QString text, double blockPause, double linePause, qint16 linesPerBlock)
{
    if (!text.endsWith('\r') && !text.endsWith('\n'))
        text += "\r\n";
    int block = 0;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = from;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        SendChatTextAny(text.mid(from, end - from) + MacroLineSuffix());
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
}

} // namespace CommonKit
