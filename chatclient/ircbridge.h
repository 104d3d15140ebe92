#pragma once
#include "chattext/irccolors.h"
#include "ircmembers.h"
#include "ircmessage.h"
#include "ircpacer.h"
#include "relayqueue.h"

#include <QByteArray>
#include <QObject>
#include <QSslCertificate>
#include <QSslSocket>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

// What a server can make the bridge hold, and for how long.
struct IrcLimits {
    qint64 unsentBytes = 256 * 1024;  // written and not yet taken by the server
    int stallMs = 30000;              // the server takes nothing and answers no PING for so long
    int keptLines = 5000;             // the room's lines waiting to go, across reconnects
    int welcomeMs = 30000;            // registration must be answered by then
};

struct IrcSettings {
    QString host;
    quint16 port = 6667;
    bool tls = false;
    QList<QSslCertificate> trusted;  // besides the system's, e.g. a private server's own
    QString channel;
    QString nick;
    IrcColors::Palette palette = IrcColors::Palette::Standard;
    IrcPacer pacer;
    IrcLimits limits;
};

// Joins one channel and relays both ways: lines posted in the room go out paced, so the server's
// flood rule never throws us out; channel messages come back as they arrive. A lost connection
// is made again with growing pauses, and no line is lost on the way: a line counts as sent only
// once the server has answered a PING sent behind it. Nothing the server does makes it hold more
// than IrcLimits allows: a server that stops reading is dropped, a line too long is cut.
class IrcBridge : public QObject {
    Q_OBJECT
public:
    using MsClock = std::function<qint64()>;

    explicit IrcBridge(const IrcSettings& settings, MsClock clock = {}, QObject* parent = nullptr);
    ~IrcBridge() override;

    void start();
    // A message posted in the room: Windows-1252 HTML, one or more lines.
    void post(const QByteArray& bytes);

    bool joined() const { return joined_; }
    QString nick() const { return nick_; }
    // The channel's members as the server last told them; empty while not in the channel.
    QStringList members() const { return members_.names(); }
    // Lines not yet confirmed by the server.
    int pending() const { return int(queue_.size() + unconfirmed_.size()); }
    QString status() const { return status_; }
    // The longest text a PRIVMSG may carry so that the line others receive fits in 512 bytes.
    int budget() const;

signals:
    // A message said in the channel by someone else, codes removed.
    void said(const QString& nick, const QString& text);
    // Something the user should know: joined, lost the connection and why, a nick in use.
    void notice(const QString& text);
    void statusChanged(const QString& text);
    // The nick the server took for us, at the welcome and at every change.
    void nickChanged(const QString& nick);
    void membersChanged(const QStringList& names);

private:
    struct Sent {
        QByteArray text;  // the PRIVMSG text, codes included
        quint32 ping;     // the PING that confirms it
    };

    void connectNow();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onSocketError();
    void handle(const IrcMessage& m);
    void onBytesWritten();
    void lineArrived(const IrcLineReader::Line& line);
    bool writeLine(const QByteArray& line);
    void sendPing();
    void rejoinIn(int ms);
    void watchStall();
    qint64 unsent() const;
    void noteOnce(bool& noted, const QString& text);
    void pump();
    void confirm(quint32 ping);
    void drop(const QString& why);
    void lost();
    void tryNextNick();
    void updateStatus();
    qint64 now() const;

    IrcSettings settings_;
    MsClock clock_;
    QSslSocket socket_;
    IrcLineReader reader_;
    IrcMembers members_;
    RelayQueue queue_;                 // waiting for the pacer
    std::deque<Sent> unconfirmed_;     // written, the server has not yet shown it read them
    QTimer sendTimer_;
    QTimer retryTimer_;
    QTimer welcomeTimer_;
    QTimer idleTimer_;
    QTimer rejoinTimer_;
    QTimer stallTimer_;
    QString nick_;
    QByteArray ownPrefix_;  // nick!user@host as others see us
    bool registered_ = false;
    bool joined_ = false;
    bool closing_ = false;
    bool live_ = false;  // a connection is being made or is up
    bool encrypted_ = false;
    bool idlePingOut_ = false;
    bool membersDirty_ = false;
    bool notedNoIrc_ = false;   // once a connection, so a babbling server fills no room
    bool notedLongLine_ = false;
    bool notedFullList_ = false;
    QString kickedBy_;
    int attempts_ = 0;
    int nickTries_ = 0;
    quint32 nextPing_ = 1;
    quint32 pingOut_ = 0;  // the PING waiting for its answer, 0 if none
    QString status_;
    QString lastError_;
};
