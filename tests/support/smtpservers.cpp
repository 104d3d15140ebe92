#include "smtpservers.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QThread>

#include <limits>

namespace {
// Starts a Python server of the tests and reads the "PORT n" it prints once it listens.
bool startServer(QProcess& process, const QStringList& args, const char* what, quint16* port, QString* error)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start("/usr/bin/python3", args);
    if (!process.waitForStarted(10000)) {
        *error = "python3 did not start: " + process.errorString();
        return false;
    }
    QByteArray line;
    QDeadlineTimer deadline(20000);
    while (!line.contains('\n') && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(500);
        line += process.readAllStandardOutput();
    }
    if (!line.startsWith("PORT ")) {
        *error = QString::fromLatin1(what) + " did not come up: " + QString::fromUtf8(line);
        return false;
    }
    *port = quint16(line.mid(5).trimmed().toUInt());
    return *port != 0;
}
} // namespace

SmtpServerProcess::~SmtpServerProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool SmtpServerProcess::start() { return start(Options()); }

bool SmtpServerProcess::start(const Options& o)
{
    QStringList args{QStringLiteral(QUORL_SOURCE_DIR "/tests/support/smtp_server.py"), "--log", dir_.filePath("log")};
    if (!o.cert.isEmpty())
        args << "--cert" << o.cert << "--key" << o.key;
    if (!o.user.isEmpty())
        args << "--user" << o.user << "--password" << o.password;
    if (o.maxLine > 0)
        args << "--max-line" << QString::number(o.maxLine);
    return startServer(process_, args, "the SMTP server", &port_, &error_);
}

QList<QJsonObject> SmtpServerProcess::events(const QString& kind) const
{
    QList<QJsonObject> out;
    QFile f(dir_.filePath("log"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("event").toString() == kind)
            out << o;
    }
    return out;
}

QByteArray SmtpServerProcess::received() const
{
    QByteArray all;
    for (const QJsonObject& o : events("bytes"))
        all += bytesOf(o, "data");
    return all;
}

bool SmtpServerProcess::waitForMails(int n) const
{
    QDeadlineTimer deadline(5000);
    while (events("mail").size() < n) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

QByteArray SmtpServerProcess::bytesOf(const QJsonObject& event, const QString& key)
{
    return QByteArray::fromHex(event.value(key).toString().toLatin1());
}

namespace {
bool openssl(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("openssl", args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

bool SmtpServerProcess::makeCertificate(const QString& dir, QString* cert, QString* key, QString* ca)
{
    *cert = dir + "/cert.pem";
    *key = dir + "/key.pem";
    if (!ca)
        return openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=localhost",
                        "-addext", "subjectAltName=DNS:localhost", "-keyout", *key, "-out", *cert});
    *ca = dir + "/ca.pem";
    const QString caKey = dir + "/ca-key.pem", request = dir + "/cert.csr", ext = dir + "/ext.cnf";
    QFile f(ext);
    if (!f.open(QIODevice::WriteOnly) || f.write("subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n") < 0)
        return false;
    f.close();
    // Elliptic-curve keys: made in milliseconds, where RSA keys take seconds on a busy machine.
    return openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "1",
                    "-subj", "/CN=quorl test authority",
                    "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign",
                    "-keyout", caKey, "-out", *ca}) &&
           openssl({"req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                    "/CN=localhost", "-keyout", *key, "-out", request}) &&
           openssl({"x509", "-req", "-in", request, "-CA", *ca, "-CAkey", caKey, "-CAcreateserial", "-days", "1",
                    "-extfile", ext, "-out", *cert});
}

HostileSmtpProcess::~HostileSmtpProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool HostileSmtpProcess::start(const QString& floodAt)
{
    return startServer(process_, {QStringLiteral(QUORL_SOURCE_DIR "/tests/support/smtp_hostile.py"), floodAt},
                       "the hostile relay", &port_, &error_);
}

ScriptedSmtp::ScriptedSmtp(FakeClock& clock) : clock_(clock)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &ScriptedSmtp::onConnection);
    for (const char* ok : {"HELO", "EHLO", "MAIL", "RCPT", "RSET", "NOOP"})
        replies.insert(ok, Reply{"250 ok\r\n"});
    replies.insert("DATA", Reply{"354 go ahead\r\n"});
    replies.insert(".", Reply{"250 queued\r\n"});
    replies.insert("QUIT", Reply{"221 bye\r\n", 0, false, true});
}

void ScriptedSmtp::onConnection()
{
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        ++connections;
        peer_ = s;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::readyRead, this, &ScriptedSmtp::onReadyRead);
        connect(s, &QTcpSocket::disconnected, this, [this] { clientClosed = true; });
        schedule(greeting);
    }
}

void ScriptedSmtp::schedule(const Reply& reply)
{
    if (reply.silent)
        return;
    if (reply.perByte <= 0) {
        pending_ << Pending{clock_.mono + reply.delay, reply};
        return;
    }
    for (qsizetype i = 0; i < reply.text.size(); ++i) {
        Reply one = reply;
        one.text = reply.text.mid(i, 1);
        one.close = reply.close && i + 1 == reply.text.size();
        pending_ << Pending{clock_.mono + reply.delay + double(i) * reply.perByte, one};
    }
}

void ScriptedSmtp::onReadyRead()
{
    const QByteArray bytes = peer_->readAll();
    received += bytes;
    lineBuffer_ += bytes;
    for (;;) {
        if (inData_) {
            const qsizetype end = lineBuffer_.indexOf("\r\n.\r\n");
            if (end < 0)
                return;
            // The two bytes put in front at "354" are not data.
            data += lineBuffer_.left(end + 5).mid(2);
            lineBuffer_.remove(0, end + 5);
            inData_ = false;
            schedule(replies.value("."));
            continue;
        }
        const qsizetype eol = lineBuffer_.indexOf("\r\n");
        if (eol < 0)
            return;
        const QByteArray line = lineBuffer_.left(eol);
        lineBuffer_.remove(0, eol + 2);
        commands << line;
        const QByteArray word = line.split(' ').first().toUpper();
        const Reply reply = replies.value(word, Reply{"500 what\r\n"});
        if (word == "DATA" && reply.text.startsWith("354")) {
            inData_ = true;
            // The data may start with an empty line: what follows "354" is data.
            lineBuffer_.prepend("\r\n");
        }
        schedule(reply);
    }
}

void ScriptedSmtp::later(double delay, std::function<void()> action)
{
    pending_ << Pending{clock_.mono + delay, Reply{QByteArray(), 0, false, false, std::move(action)}};
}

void ScriptedSmtp::sendLater(double delay, const QByteArray& text)
{
    pending_ << Pending{clock_.mono + delay, Reply{text}};
}

double ScriptedSmtp::nextDue() const
{
    double next = std::numeric_limits<double>::infinity();
    for (const Pending& p : pending_)
        next = std::min(next, p.due);
    return next;
}

bool ScriptedSmtp::fireDue()
{
    bool any = false;
    for (qsizetype i = 0; i < pending_.size();) {
        if (pending_[i].due > clock_.mono + 1e-9) {
            ++i;
            continue;
        }
        const Reply r = pending_.takeAt(i).reply;
        any = true;
        if (r.action)
            r.action();
        if (peer_ && peer_->state() == QAbstractSocket::ConnectedState && (!r.text.isEmpty() || r.close)) {
            peer_->write(r.text);
            peer_->flush();
            sent_ += r.text.size();
            if (r.close)
                peer_->disconnectFromHost();
        }
    }
    return any;
}

void ScriptClock::advance(double seconds)
{
    if (seconds <= 0)
        return;
    mono += seconds;
    now += seconds;
    if (now >= 86400)
        now -= 86400;
}

void ScriptClock::settle()
{
    // Loopback bytes are readable as soon as they are written; a few quiet rounds of events
    // mean both sides have read what there was.
    int quiet = 0;
    for (int round = 0; round < 200 && quiet < 6; ++round) {
        const qint64 before = server ? server->traffic() : 0;
        const bool fired = server && server->fireDue();
        processEvents();
        const bool moved = fired || (server && server->traffic() != before);
        quiet = moved ? 0 : quiet + 1;
    }
}

bool ScriptClock::waitFor(double seconds, const std::function<bool()>& done)
{
    waits << seconds;
    const double start = mono;
    const double end = mono + seconds;
    for (;;) {
        settle();
        if (done()) {
            spans << mono - start;
            return true;
        }
        const double next = server ? server->nextDue() : std::numeric_limits<double>::infinity();
        if (next > end)
            break;
        advance(std::max(0.0, next - mono));
    }
    advance(end - mono);
    settle();
    spans << mono - start;
    return done();
}
