#include "ircpeers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace IrcPeers {

bool waitUntil(const std::function<bool()>& condition, int ms)
{
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(50);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

Server::Server()
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process_, &QProcess::readyRead, [this] { log_ += process_.readAll(); });
}

Server::~Server()
{
    kill();
}

namespace {
quint16 freePort(QString* error)
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        *error = QStringLiteral("no free port: %1").arg(probe.errorString());
        return 0;
    }
    return probe.serverPort();
}
} // namespace

bool Server::enableTls()
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                   "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", dir_.filePath(QStringLiteral("key.pem")),
                   "-out", certificate()});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        error_ = QStringLiteral("openssl could not make a certificate: %1").arg(QString::fromUtf8(openssl.readAll()));
        return false;
    }
    QFile::setPermissions(dir_.filePath(QStringLiteral("key.pem")), QFile::ReadOwner | QFile::ReadOther);
    tlsPort_ = freePort(&error_);
    return tlsPort_ != 0;
}

bool Server::start()
{
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("ngircd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin")});
    if (program.isEmpty()) {
        error_ = QStringLiteral("ngircd is not installed (apt-get install ngircd)");
        return false;
    }
    if (port_ == 0 && (port_ = freePort(&error_)) == 0)
        return false;
    // Run as root (as CI does), ngircd wants a user to drop to; it reads this file first.
    const bool root = ::geteuid() == 0;
    QByteArray conf = "[Global]\n"
                      "Name = irc.quorl.test\n"
                      "Info = quorl test server\n"
                      "AdminInfo1 = quorl tests\nAdminInfo2 = loopback\nAdminEMail = nobody@localhost\n"
                      "Listen = 127.0.0.1\n"
                      "Ports = "
                      + QByteArray::number(port_) + "\n"
                      + "MotdPhrase = quorl test server\n"
                      + "PidFile = " + dir_.filePath(QStringLiteral("ngircd.pid")).toUtf8() + "\n"
                      + (root ? "ServerUID = 65534\nServerGID = 65534\n" : "")
                      + "[Limits]\nPingTimeout = 120\nPongTimeout = 20\nMaxNickLength = 9\n"
                        "[Options]\nPAM = no\nIdent = no\nDNS = no\n";
    if (tlsPort_)
        conf += "[SSL]\nPorts = " + QByteArray::number(tlsPort_) + "\nCertFile = " + certificate().toUtf8()
                + "\nKeyFile = " + dir_.filePath(QStringLiteral("key.pem")).toUtf8() + "\n";
    const QString path = dir_.filePath(QStringLiteral("ngircd.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(conf) != conf.size()) {
        error_ = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    file.close();
    if (root)  // the server reads its files after it has dropped to the other user
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                               | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    log_.clear();
    process_.start(program, {QStringLiteral("--nodaemon"), QStringLiteral("--config"), path});
    const bool ready = waitUntil([this] {
        return log_.contains("ready") || process_.state() == QProcess::NotRunning;
    });
    if (!ready || process_.state() == QProcess::NotRunning) {
        error_ = QStringLiteral("ngircd did not come up on port %1: %2").arg(port_).arg(QString::fromUtf8(log_));
        kill();
        return false;
    }
    return true;
}

void Server::freeze()
{
    if (process_.state() == QProcess::Running)
        ::kill(pid_t(process_.processId()), SIGSTOP);
}

void Server::kill()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(5000);
}

bool Reader::join(quint16 port, const QByteArray& nick, const QByteArray& channel)
{
    channel_ = channel;
    socket_.connectToHost(QHostAddress::LocalHost, port);
    if (!waitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState; }, 10000)) {
        error_ = QStringLiteral("reader cannot connect: %1").arg(socket_.errorString());
        return false;
    }
    socket_.write("NICK " + nick + "\r\nUSER " + nick + " 0 * :reader\r\n");
    auto has = [this](const QByteArray& command) {
        for (const Line& l : lines_)
            if (l.command == command)
                return true;
        return false;
    };
    if (!waitUntil([&] { return has("001") || has("433"); }) || !has("001")) {
        error_ = QStringLiteral("reader was not welcomed");
        return false;
    }
    socket_.write("JOIN " + channel + "\r\n");
    if (!waitUntil([&] { return has("366"); })) {
        error_ = QStringLiteral("reader could not join %1").arg(QString::fromUtf8(channel));
        return false;
    }
    return true;
}

void Reader::say(const QByteArray& text)
{
    socket_.write("PRIVMSG " + channel_ + " :" + text + "\r\n");
}

void Reader::read()
{
    inbox_ += socket_.readAll();
    qsizetype nl;
    while ((nl = inbox_.indexOf("\r\n")) >= 0) {
        Line l;
        l.raw = inbox_.left(nl);
        inbox_.remove(0, nl + 2);
        QByteArray rest = l.raw;
        if (rest.startsWith(':')) {
            const qsizetype sp = rest.indexOf(' ');
            l.prefix = rest.mid(1, sp - 1);
            rest = rest.mid(sp + 1);
        }
        const qsizetype colon = rest.indexOf(" :");
        QByteArray trailing;
        if (colon >= 0) {
            trailing = rest.mid(colon + 2);
            rest = rest.left(colon);
        }
        QList<QByteArray> words = rest.split(' ');
        l.command = words.takeFirst();
        l.params = words;
        if (colon >= 0)
            l.params.append(trailing);
        if (l.command == "PING")
            socket_.write("PONG :" + l.params.value(0) + "\r\n");
        lines_.append(l);
    }
}

QList<QByteArray> Reader::messagesFrom(const QByteArray& nick) const
{
    QList<QByteArray> out;
    for (const Line& l : lines_)
        if (l.command == "PRIVMSG" && l.nick() == nick && l.params.value(0) == channel_)
            out.append(l.params.value(1));
    return out;
}

int Reader::joinsOf(const QByteArray& nick) const
{
    int n = 0;
    for (const Line& l : lines_)
        if (l.command == "JOIN" && l.nick() == nick)
            ++n;
    return n;
}

bool Reader::sawCommandFrom(const QByteArray& command, const QByteArray& nick) const
{
    for (const Line& l : lines_)
        if (l.command == command && l.nick() == nick)
            return true;
    return false;
}

} // namespace IrcPeers
