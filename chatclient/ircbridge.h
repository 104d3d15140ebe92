#pragma once
#include "chattext/irccolors.h"
#include "ircpacer.h"

#include <QByteArray>
#include <QObject>
#include <QSslCertificate>
#include <QSslSocket>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

struct IrcSettings {
    QString host;
    quint16 port = 6667;
    bool tls = false;
    QList<QSslCertificate> trusted;  // besides the system's, e.g. a private server's own
    QString channel;
    QString nick;
    IrcColors::Palette palette = IrcColors::Palette::Standard;
    IrcPacer pacer;
};

// One line as a server sends it: ":prefix COMMAND params :trailing".
struct IrcMessage {
    QByteArray prefix;
    QByteArray command;  // upper case
    QList<QByteArray> params;
    QByteArray nick() const { return prefix.left(prefix.indexOf('!')); }
    static IrcMessage parse(const QByteArray& line);
};

// Joins one channel and relays both ways: lines posted in the room go out paced, so the server's
// flood rule never throws us out; channel messages come back as they arrive. A lost connection
// is made again with growing pauses, and no line is lost on the way: a line counts as sent only
// once the server has answered a PING sent behind it.
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
    void writeLine(const QByteArray& line);
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
    QByteArray inbox_;
    std::deque<QByteArray> queue_;     // waiting for the pacer
    std::deque<Sent> unconfirmed_;     // written, the server has not yet shown it read them
    QTimer sendTimer_;
    QTimer retryTimer_;
    QTimer welcomeTimer_;
    QTimer idleTimer_;
    QString nick_;
    QByteArray ownPrefix_;  // nick!user@host as others see us
    bool registered_ = false;
    bool joined_ = false;
    bool closing_ = false;
    bool live_ = false;  // a connection is being made or is up
    bool encrypted_ = false;
    bool idlePingOut_ = false;
    int attempts_ = 0;
    int nickTries_ = 0;
    quint32 nextPing_ = 1;
    quint32 pingOut_ = 0;  // the PING waiting for its answer, 0 if none
    QString status_;
    QString lastError_;
};
