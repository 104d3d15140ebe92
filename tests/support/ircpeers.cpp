#include "ircpeers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
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
                      + "[Limits]\nPingTimeout = 120\nPongTimeout = 20\nMaxNickLength = "
                      + QByteArray::number(nickLength_) + "\n"
                      + "[Options]\nPAM = no\nIdent = no\nDNS = no\n";
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
    send("PRIVMSG " + channel_ + " :" + text);
}

void Reader::send(const QByteArray& line)
{
    socket_.write(line + "\r\n");
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

namespace {
// A text of the dump: between quotes, with \", \\ and \xNN.
QByteArray unquoted(const QString& text)
{
    QByteArray out;
    const QByteArray in = text.toLatin1();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 >= in.size()) {
            out += in[i];
        } else if (in[i + 1] == 'x' && i + 3 < in.size()) {
            out += char(in.mid(i + 2, 2).toUInt(nullptr, 16));
            i += 3;
        } else {
            out += in[++i];
        }
    }
    return out;
}
} // namespace

RoomView RoomView::read(const QString& dump, const QByteArray& title)
{
    static const QRegularExpression line(
        QStringLiteral("^( *)handle=\\d+ class=\"((?:[^\"\\\\]|\\\\.)*)\" text=\"((?:[^\"\\\\]|\\\\.)*)\""));
    RoomView room;
    qsizetype depth = -1;
    for (const QString& row : dump.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(row);
        if (!m.hasMatch())
            continue;
        const qsizetype d = m.capturedLength(1);
        const QByteArray cls = unquoted(m.captured(2));
        const QByteArray text = unquoted(m.captured(3));
        if (depth >= 0 && d <= depth)
            break;
        if (depth < 0) {
            if (cls == "Chat Child" && text == title) {
                depth = d;
                room.found = true;
            }
            continue;
        }
        if (d != depth + 2)  // two blanks a level
            continue;
        // The first of the two text controls is the transcript, the second the input.
        if ((cls == "RICHCNTL" || cls == "_Chat_View") && room.transcript.isNull())
            room.transcript = text.isNull() ? QByteArray("") : text;
        else if (cls == "_Chat_Listbox")
            room.people = text.split('\r');
        else if (cls == "_Chat_Static")
            room.status = text;
    }
    for (QByteArray& name : room.people)
        name = name.trimmed();
    room.people.removeAll(QByteArray());
    return room;
}

Hostile::~Hostile()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool Hostile::start(const QString& mode, const QString& nick)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(QUORL_SOURCE_DIR "/tests/support/irc_hostile.py"), mode, nick});
    QByteArray said;
    const bool up = waitUntil([&] {
        said += process_.readAllStandardOutput();
        return said.contains('\n') || process_.state() == QProcess::NotRunning;
    });
    if (!up || !said.startsWith("PORT ")) {
        error_ = QStringLiteral("the hostile server (%1) did not come up: %2").arg(mode, QString::fromUtf8(said));
        return false;
    }
    port_ = quint16(said.mid(5).trimmed().toUInt());
    return port_ != 0;
}

} // namespace IrcPeers
