#pragma once
#include <QString>

class QIODevice;
#include <array>

// The four art pages as data and their two file formats.
namespace Pages {

using Four = std::array<QString, 4>;

// output/text1.gly .. output/text4.gly in the program folder (n = 1..4); output/text.gly for 0.
QString PageFilePath(int n);

// A page file holds the page and one CR LF; reading takes the text before the first CR LF, or
// the whole content when it holds none.
QString PageFromPageFile(const QString& content);

// An ascii file holds the four pages, each followed by CR LF, then one more CR LF. This is the
// text before the closing CR LF the writer adds.
QString AsciiFileText(const Four& pages);

// The ascii-file reading rule over the pages buffer: the buffer gets the content (with CR LF
// appended when missing); each page takes the text before the buffer's first CR and that text
// and the two characters after it leave the buffer. What is left after page 4 stays in it.
Four ReadAsciiFile(const QString& content, QString& buffer);

// A page holds at most this many characters; what is longer is cut.
constexpr int kPageLimit = 64 * 1024;

// The part of an ascii file the reading rule can use, read in steps so a file of any size costs
// little: the first four lines each cut to kPageLimit characters (cut says so), with the line
// ends as they stand, then at most kPageLimit bytes of what follows.
QByteArray BoundedAsciiBytes(QIODevice& in, bool* cut);

// Why bytes read as an ascii file are no text art ("" when they may be): a NUL byte, or more
// than one byte in twenty a control character that no text holds. Tabs, line ends and the chat
// formatting codes (bold, colour, reverse, italic, underline, plain) count as text.
QString NotArtReason(const QByteArray& bytes);

// The non-empty pages joined: pages 1 to 3 each with CR LF, page 4 without.
QString CopyAllFieldsText(const Four& pages);

} // namespace Pages
