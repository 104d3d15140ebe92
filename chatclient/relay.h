#pragma once
#include "chattext/irccolors.h"
#include "ircpacer.h"
#include "relayqueue.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Takes the room's art into a chat program the user already runs, under the user's own nick:
// the lines are the IRC bridge's, paced as the bridge paces them. A relay first looks for the
// program and the place the art goes (a buffer, a channel), then hands it the lines one at a
// time; a line the program took is never handed again. While the program is away the lines are
// kept, within the queue's bound, and go on when it is back.
class Relay : public QObject {
    Q_OBJECT
public:
    using MsClock = std::function<qint64()>;

    // What a look found. Silent: the program is there (on the bus) and answers nothing.
    enum class Found { Nothing, Silent, NoTarget, Ready };
    // What became of a line handed to the program.
    // Later: the program is there but takes nothing now (a full pipe); the line goes again soon.
    enum class Handed { Taken, Later, Refused, Unsure };

    Relay(const IrcPacer& pacer, MsClock clock, QObject* parent = nullptr);

    void start();
    // A message posted in the room: Windows-1252 HTML, one or more lines.
    void post(const QByteArray& bytes);
    int pending() const { return queue_.size(); }
    QString status() const { return status_; }
    void setBound(int lines) { queue_.setBound(lines); }
    // Pause between looks while the program is away.
    void setLookInterval(int ms) { lookMs_ = ms; }
    // The longest text for ":nick!user@host PRIVMSG <channel> :text" CR LF in 512 bytes, for a
    // nick of 32 bytes (NICKLEN 30 and more) and user and host of 63 each: the program that
    // sends it never splits it again.
    static int budgetFor(int channelBytes) { return 512 - (1 + 32 + 1 + 63 + 1 + 63 + 9 + channelBytes + 2 + 2); }

signals:
    void notice(const QString& text);
    void statusChanged(const QString& text);

protected:
    // The program's name and where the art goes, for sentences: "WeeChat", "buffer irc.x.#art".
    virtual QString program() const = 0;
    virtual QString target() const = 0;
    // What the program lacks when the target is missing: "has no buffer irc.x.#art".
    virtual QString lacking() const { return QStringLiteral("has no %1").arg(target()); }
    // Finds the program and the target; answers with looked().
    virtual void look() = 0;
    // Gives one line to the program; answers with handed().
    virtual void hand(const QByteArray& line) = 0;
    // The longest line for the target, so the line others receive fits in 512 bytes.
    virtual int budget() const = 0;

    void looked(Found found, const QString& why = {});
    void handed(Handed outcome, const QString& why = {});
    // After a batch the target may be gone by the next one: look again before it.
    void forget() { known_ = false; }

private:
    void pump();
    void updateStatus();
    qint64 now() const { return clock_(); }

    IrcPacer pacer_;
    MsClock clock_;
    RelayQueue queue_;
    QTimer sendTimer_;
    QTimer lookTimer_;
    Found found_ = Found::Nothing;
    bool known_ = false;    // found_ holds a look's answer
    bool busy_ = false;     // a look or a hand is under way
    bool started_ = false;
    bool told_ = false;     // the user was told the current state
    int lookMs_ = 2000;
    QString why_;
    QString status_;
};
