#pragma once
#include "support/shoptest.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

#include <functional>

// A real SMTP server (Debian's aiosmtpd) as its own process on loopback; what it received is read
// back from its log: the bytes, the log-in attempts and each mail as Python's email parser reads it.
class SmtpServerProcess {
public:
    struct Options {
        QString cert, key;      // STARTTLS with this certificate
        QString user, password; // log-in required
        int maxLine = 0;        // > 0: lines longer than this (with CR LF) are refused
    };
    SmtpServerProcess() = default;
    ~SmtpServerProcess();
    bool start();
    bool start(const Options& options);
    quint16 port() const { return port_; }
    QString error() const { return error_; }
    // Every event of one kind ("mail", "auth", "bytes") so far.
    QList<QJsonObject> events(const QString& kind) const;
    // Everything the server received, as one byte string.
    QByteArray received() const;
    // Waits (real time, at most five seconds) until n mails have arrived.
    bool waitForMails(int n) const;
    static QByteArray bytesOf(const QJsonObject& event, const QString& key);

    // A throwaway certificate for localhost in dir; false when openssl fails. With ca, it is
    // signed by a throwaway authority of its own, whose certificate goes there.
    static bool makeCertificate(const QString& dir, QString* cert, QString* key, QString* ca = nullptr);

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

// A hostile relay as its own process on loopback: it answers as a relay until the command word
// floodAt (or at once, for "GREETING"), and then sends bytes without a line end as fast as the
// client takes them.
class HostileSmtpProcess {
public:
    ~HostileSmtpProcess();
    bool start(const QString& floodAt);
    quint16 port() const { return port_; }
    QString error() const { return error_; }

private:
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

// A scripted SMTP server inside the test, driven by the fake clock: each reply may come after
// a delay in clock seconds, stay away, or close the connection.
class ScriptedSmtp : public QObject {
    Q_OBJECT
public:
    struct Reply {
        QByteArray text;
        double delay = 0;
        bool silent = false;
        bool close = false;
        std::function<void()> action = {}; // runs when the reply goes out
        double perByte = 0;                // > 0: the text goes out one byte each perByte seconds
    };
    explicit ScriptedSmtp(FakeClock& clock);
    quint16 port() const { return server_.serverPort(); }

    Reply greeting{"220 scripted relay ready\r\n"};
    // Replies by upper-cased command word: HELO, EHLO, MAIL, RCPT, DATA, "." (end of data), QUIT...
    QHash<QByteArray, Reply> replies;

    QByteArray received;        // every byte from the client
    QList<QByteArray> commands; // command lines outside the data, without CR LF
    QByteArray data;            // what came after "354", up to and including CR LF "." CR LF
    int connections = 0;
    bool clientClosed = false;

    // Runs action once the fake clock has moved on by delay seconds.
    void later(double delay, std::function<void()> action);
    // Sends text once the fake clock has moved on by delay seconds.
    void sendLater(double delay, const QByteArray& text);
    // The fake time of the next reply due, or +infinity.
    double nextDue() const;
    // Sends every reply due by now; true when something went out.
    bool fireDue();
    qint64 traffic() const { return received.size() + sent_; }

private:
    void onConnection();
    void onReadyRead();
    void schedule(const Reply& reply);
    struct Pending {
        double due;
        Reply reply;
    };
    FakeClock& clock_;
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    QByteArray lineBuffer_;
    bool inData_ = false;
    QList<Pending> pending_;
    qint64 sent_ = 0;
};

// The fake clock for the scripted server: a wait moves time on to the server's next reply (or
// to its bound) and lets the loopback bytes through, so replies arrive at exact clock times.
class ScriptClock : public FakeClock {
public:
    ScriptedSmtp* server = nullptr;
    // How long each wait really lasted on this clock.
    QList<double> spans;
    bool waitFor(double seconds, const std::function<bool()>& done) override;
    void settle();

private:
    void advance(double seconds);
};
