#pragma once
#include "chattext/roomrender.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextDocument>

#include <deque>
#include <memory>

// What a room shows: every message rendered as a chat client renders it (chattext's rules),
// in one document that the room's view displays and the bus reads back.
class RoomLog {
public:
    // A room keeps the text of its last 8 MB of messages; older ones give way, and the room says so.
    static constexpr qsizetype kKeepBytes = qsizetype(8) << 20;
    explicit RoomLog(qsizetype keepBytes = kKeepBytes);

    // Window texts are Windows-1252 bytes.
    static QString decode(const QByteArray& bytes);

    void message(const QByteArray& sender, const QByteArray& bytes);
    // A message from elsewhere, shown as the plain text it is.
    void plainMessage(const QByteArray& sender, const QByteArray& bytes);
    void notice(const QString& text);

    bool fixedWidth() const { return options_.fixedWidth; }
    // Renders the whole room afresh in the fixed-width or the usual font.
    void setFixedWidth(bool fixed);

    QTextDocument* document() const { return document_.get(); }
    // The room as the user reads it, one line per line of the room.
    QString text() const;
    // Where the characters first.. of a line of the room start, in pixels from the left (at most
    // count of them, all with count < 0; the line's end counts as one); empty for a line the room
    // does not have.
    QList<double> lineX(int line, int first = 0, int count = -1) const;

private:
    enum class Kind { Message, Plain, Notice };
    struct Entry {
        Kind kind;
        QByteArray sender;
        QByteArray bytes;
        int blocks = 0;  // lines of the room it takes
    };
    void add(Entry entry);
    void show(Entry& entry);
    void trim();

    RoomRender::Options options_;
    std::unique_ptr<QTextDocument> document_;
    std::deque<Entry> entries_;
    qsizetype keepBytes_;
    qsizetype keptBytes_ = 0;
    bool trimmed_ = false;
};
