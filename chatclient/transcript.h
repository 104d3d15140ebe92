#pragma once
#include <QByteArray>
#include <QFile>

// The message log tests read: one line per posted message, written and flushed at once so a
// reader sees it the moment the message is in the room.
class Transcript {
public:
    bool open(const QString& path);
    void write(const QByteArray& room, const QByteArray& message);

private:
    QFile file_;
};
