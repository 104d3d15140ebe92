#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct IrcMessage;

// Who is in one channel, as the server tells it: the names list (353 up to 366) and the joins,
// leaves, quits, nick changes and kicks after it. Names are kept without their rank signs (@, +),
// in the order a people list shows them.
class IrcMembers {
public:
    // A channel of more members than this shows the first ones; a hostile server could send
    // names for ever.
    static constexpr int kMostShown = 10000;

    explicit IrcMembers(const QByteArray& channel);

    // Nobody known, as before a join.
    void clear();
    // Takes one line from the server; true when the list changed.
    bool handle(const IrcMessage& m);
    QStringList names() const;
    // Whether names were left out because the list is full; the caller says so once.
    bool overflowed() const { return overflowed_; }

    // Nicks compare as IRC servers compare them: case-blind, with []\~ the capitals of {}|^.
    static QByteArray folded(const QByteArray& nick);

private:
    bool isChannel(const QByteArray& target) const;
    bool add(QList<QByteArray>& list, const QByteArray& nick);
    bool remove(const QByteArray& nick);

    QByteArray channel_;
    QList<QByteArray> members_;
    QList<QByteArray> incoming_;  // a names list still arriving
    bool receiving_ = false;
    bool overflowed_ = false;
};
