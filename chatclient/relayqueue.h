#pragma once
#include "chattext/irccolors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>

// The room's lines on their way out as IRC text, for the IRC bridge and for the relays to chat
// programs the user runs: a message becomes IRC lines by the bridge's rules, and no more than a
// bound of lines is kept, so a scroll into a channel nobody reaches cannot grow without end.
class RelayQueue {
public:
    explicit RelayQueue(int kept = 5000) : kept_(kept) {}

    void setBound(int kept) { kept_ = kept; }
    int bound() const { return kept_; }

    // Appends the lines of one room message (Windows-1252 HTML), none longer than budget bytes.
    // held: lines kept elsewhere that count against the bound (written, not yet confirmed).
    // Returns what the user should be told: lines refused at the bound, in one sentence a run.
    QStringList add(const QByteArray& bytes, IrcColors::Palette palette, int budget, const QString& target,
                    int held = 0);

    bool empty() const { return lines_.empty(); }
    int size() const { return int(lines_.size()); }
    const QByteArray& front() const { return lines_.front(); }
    void pop_front() { lines_.pop_front(); }
    // A line that may not have arrived goes again, before the waiting ones.
    void push_front(const QByteArray& line) { lines_.push_front(line); }
    void push_back(const QByteArray& line) { lines_.push_back(line); }

private:
    std::deque<QByteArray> lines_;
    int kept_;
    int refused_ = 0;  // posted while the kept lines were at their bound
};
