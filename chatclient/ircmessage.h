#pragma once
#include <QByteArray>
#include <QList>

// One line as a server sends it: "@tags :prefix COMMAND params :trailing".
struct IrcMessage {
    QByteArray prefix;
    QByteArray command;  // upper case
    QList<QByteArray> params;
    QByteArray nick() const { return prefix.left(prefix.indexOf('!')); }
    // A command of letters or a three-digit reply number; anything else is no IRC.
    bool isIrc() const;
    static IrcMessage parse(const QByteArray& line);
};

// Cuts what a server sends into lines, holding no more of a line than the protocol allows: 512
// bytes with its CR LF, and before that at most 8191 bytes of tags. The rest of a longer line is
// read past and dropped, so a line that never ends costs nothing.
class IrcLineReader {
public:
    static constexpr int kLongest = 510;        // without the CR LF
    static constexpr int kLongestTags = 8191;   // "@", the tags and the blank after them

    struct Line {
        QByteArray text;
        bool cut = false;  // it was longer than allowed; text holds what fits (nothing when the tags ran over)
    };

    // Complete lines in bytes (with what came before); an unfinished one waits for the rest.
    QList<Line> feed(const QByteArray& bytes);
    void clear();

private:
    void finish(QList<Line>& out);

    QByteArray partial_;
};
