#pragma once
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <functional>

// Real IRC peers for the bridge's tests: Debian's ngircd on loopback with a configuration of its
// own (its flood limits as they ship), and a plain IRC client that sits in the channel and
// records every line it reads.
namespace IrcPeers {

// Runs the event loop until the condition holds or ms have passed; wakes on every event and at
// least every 50 ms, so conditions on other processes are seen too.
bool waitUntil(const std::function<bool()>& condition, int ms = 20000);

class Server {
public:
    Server();
    ~Server();
    // Starts ngircd on a free loopback port (the same port again after kill()) and waits until
    // it says it is ready; false with the reason in error().
    bool start();
    // Before start: also listen for TLS, with a certificate for 127.0.0.1 made for the test.
    bool enableTls();
    // Before start: the longest nick the server takes (NICKLEN).
    void setNickLength(int n) { nickLength_ = n; }
    quint16 tlsPort() const { return tlsPort_; }
    QString certificate() const { return dir_.filePath(QStringLiteral("cert.pem")); }
    // Ends it at once, as a crash would: no goodbye to the clients.
    void kill();
    // Stops it in its tracks: connections stay open, nothing is read or answered.
    void freeze();
    quint16 port() const { return port_; }
    QString error() const { return error_; }
    QByteArray log() const { return log_; }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    quint16 tlsPort_ = 0;
    int nickLength_ = 9;
    QString error_;
    QByteArray log_;
};

// One line a reader received.
struct Line {
    QByteArray prefix;
    QByteArray command;
    QList<QByteArray> params;
    QByteArray raw;
    QByteArray nick() const { return prefix.left(prefix.indexOf('!')); }
};

class Reader {
public:
    Reader() { QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] { read(); }); }
    // Connects to the server, registers as nick and joins channel; waits for the names list.
    bool join(quint16 port, const QByteArray& nick, const QByteArray& channel);
    void say(const QByteArray& text);
    // Any command, as typed after a slash in a chat program: "NICK x", "KICK #art x".
    void send(const QByteArray& line);
    void close() { socket_.abort(); }
    const QList<Line>& lines() const { return lines_; }
    // The text of every channel message from nick, in order of arrival.
    QList<QByteArray> messagesFrom(const QByteArray& nick) const;
    // How often nick joined the channel while the reader looked on.
    int joinsOf(const QByteArray& nick) const;
    bool sawCommandFrom(const QByteArray& command, const QByteArray& nick) const;
    QString error() const { return error_; }

private:
    void read();

    QTcpSocket socket_;
    QByteArray channel_;
    QByteArray inbox_;
    QList<Line> lines_;
    QString error_;
};

// A room of the stand-in client as its window dump shows it over the bus: the people list, the
// status line and the transcript (sender, TAB, message, CR LF per line; notices as "*** ").
struct RoomView {
    bool found = false;
    QList<QByteArray> people;
    QByteArray status;
    QByteArray transcript;
    static RoomView read(const QString& dump, const QByteArray& title);
};

// A hostile server as its own process on loopback (tests/support/irc_hostile.py): "deaf" welcomes
// nick into #art and floods PINGs without ever reading, "unwelcoming" floods them without ever
// completing registration, "longline" sends lines of 20,000 bytes and lines that are no IRC.
class Hostile {
public:
    ~Hostile();
    bool start(const QString& mode, const QString& nick = QStringLiteral("shop"));
    quint16 port() const { return port_; }
    QString error() const { return error_; }

private:
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace IrcPeers
