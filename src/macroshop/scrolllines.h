#pragma once
#include "chat/chatops.h"

#include <QString>

// Sending a macro into the chat room line by line.
namespace CommonKit {

// What every macro line carries after its text: a font tag and one no-break space.
QString MacroLineSuffix();
// Sends the text line by line (a line ends at CR LF, a lone CR or a lone LF), each with the
// suffix, a line pause after every line and a block pause after every full block of lines;
// 0.5 s after the last line it returns. A client that took lines and then stops taking them
// (gone, replaced, without a room, stopped, or silent past its bound) ends the scroll at the
// first line it missed (ScrollWatch); without a client at all the lines go into nothing and only
// the pauses take time.
ScrollEnd ScrollLines(QString text, double blockPause, double linePause, qint16 linesPerBlock);
// The sentence that tells the user a macro scroll ended early; empty for one that ran through.
QString ScrollEndSentence(const ScrollEnd& end);
// A pause measured from the clock rounded to the whole second (halves to the even second), so
// it lasts between the request less 0.5 s (at least nothing) and the request plus 0.5 s.
void LinePause(double seconds);

} // namespace CommonKit
