#include "ircbridge.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSslConfiguration>
#include <QStringDecoder>

namespace {

constexpr int kLineLimit = 512;          // with prefix and CR LF, as servers count it
constexpr int kLongestInbox = 16384;     // a "line" longer than this is no IRC
constexpr int kWelcomeMs = 30000;        // registration must be answered by then
constexpr int kIdleMs = 120000;          // silence before we ask whether the server is there
constexpr int kLongestPauseMs = 60000;   // the back-off stops growing here
constexpr int kRejoinMs = 5000;          // after a kick or a refused join
constexpr int kNickTries = 9;

QByteArray clean(QByteArray text)
{
    // A CR, LF or NUL would end the command early and let the rest run as a command of its own.
    text.replace('\r', ' ').replace('\n', ' ').replace('\0', ' ');
    return text;
}

QString decodeIncoming(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Older clients still send their own code page.
    QStringDecoder legacy("windows-1252");
    return legacy.decode(bytes);
}

QByteArray userName(const QString& nick)
{
    QByteArray user;
    for (QChar c : nick)
        if (c.unicode() < 128 && c.isLetterOrNumber())
            user += char(c.unicode());
    return user.isEmpty() ? QByteArray("quorl") : user.left(9).toLower();
}

} // namespace

IrcMessage IrcMessage::parse(const QByteArray& raw)
{
    IrcMessage m;
    QByteArray line = raw;
    if (line.startsWith('@')) {  // message tags we do not use
        const qsizetype sp = line.indexOf(' ');
        line = sp < 0 ? QByteArray() : line.mid(sp + 1);
    }
    line = line.trimmed();
    if (line.startsWith(':')) {
        const qsizetype sp = line.indexOf(' ');
        m.prefix = line.mid(1, sp < 0 ? -1 : sp - 1);
        line = sp < 0 ? QByteArray() : line.mid(sp + 1).trimmed();
    }
    QByteArray trailing;
    bool hasTrailing = false;
    const qsizetype colon = line.indexOf(" :");
    if (colon >= 0) {
        trailing = line.mid(colon + 2);
        line = line.left(colon);
        hasTrailing = true;
    }
    QList<QByteArray> words = line.split(' ');
    words.removeAll(QByteArray());
    if (!words.isEmpty())
        m.command = words.takeFirst().toUpper();
    m.params = words;
    if (hasTrailing)
        m.params.append(trailing);
    return m;
}

IrcBridge::IrcBridge(const IrcSettings& settings, MsClock clock, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , clock_(std::move(clock))
    , nick_(settings.nick)
{
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] { return timer->elapsed(); };
    }
    sendTimer_.setSingleShot(true);
    retryTimer_.setSingleShot(true);
    welcomeTimer_.setSingleShot(true);
    idleTimer_.setSingleShot(true);
    connect(&sendTimer_, &QTimer::timeout, this, &IrcBridge::pump);
    connect(&retryTimer_, &QTimer::timeout, this, &IrcBridge::connectNow);
    connect(&welcomeTimer_, &QTimer::timeout, this, [this] {
        drop(QStringLiteral("no welcome from the server within %1 s; is it an IRC server?").arg(kWelcomeMs / 1000));
    });
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        if (idlePingOut_) {
            drop(QStringLiteral("the server stopped answering"));
            return;
        }
        idlePingOut_ = true;
        writeLine("PING :idle");
        idleTimer_.start(kIdleMs / 2);
    });
    if (!settings_.trusted.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(settings_.trusted);
        socket_.setSslConfiguration(tls);
    }
    connect(&socket_, &QSslSocket::connected, this, [this] {
        if (!settings_.tls)
            onConnected();
    });
    connect(&socket_, &QSslSocket::encrypted, this, [this] {
        encrypted_ = true;
        onConnected();
    });
    connect(&socket_, &QSslSocket::readyRead, this, &IrcBridge::onReadyRead);
    connect(&socket_, &QSslSocket::disconnected, this, &IrcBridge::onDisconnected);
    connect(&socket_, &QSslSocket::errorOccurred, this, &IrcBridge::onSocketError);
}

IrcBridge::~IrcBridge()
{
    closing_ = true;
    socket_.abort();
}

qint64 IrcBridge::now() const
{
    return clock_();
}

void IrcBridge::start()
{
    connectNow();
}

void IrcBridge::connectNow()
{
    socket_.abort();
    inbox_.clear();
    registered_ = joined_ = idlePingOut_ = encrypted_ = false;
    pingOut_ = 0;
    nick_ = settings_.nick;
    nickTries_ = 0;
    lastError_.clear();
    settings_.pacer.reset();
    live_ = true;
    welcomeTimer_.start(kWelcomeMs);
    if (settings_.tls)
        socket_.connectToHostEncrypted(settings_.host, settings_.port);
    else
        socket_.connectToHost(settings_.host, settings_.port);
    updateStatus();
}

void IrcBridge::onConnected()
{
    writeLine("NICK " + nick_.toUtf8());
    writeLine("USER " + userName(settings_.nick) + " 0 * :quorl ascii shop");
    idleTimer_.start(kIdleMs);
}

void IrcBridge::onReadyRead()
{
    inbox_ += socket_.readAll();
    idleTimer_.start(kIdleMs);
    idlePingOut_ = false;
    qsizetype from = 0;
    for (qsizetype nl; live_ && (nl = inbox_.indexOf('\n', from)) >= 0; from = nl + 1) {
        const QByteArray line = inbox_.mid(from, nl - from);
        if (!line.trimmed().isEmpty())
            handle(IrcMessage::parse(line));
    }
    if (!live_)
        return;
    inbox_.remove(0, from);
    if (inbox_.size() > kLongestInbox)
        drop(QStringLiteral("the server sent a line of more than %1 bytes").arg(kLongestInbox));
}

void IrcBridge::handle(const IrcMessage& m)
{
    const QByteArray channel = settings_.channel.toUtf8();
    auto isChannel = [&](const QByteArray& target) { return target.toLower() == channel.toLower(); };
    auto last = [&] { return m.params.isEmpty() ? QByteArray() : m.params.last(); };
    const QString text = decodeIncoming(last());

    if (m.command == "PING") {
        writeLine("PONG :" + clean(last()));
    } else if (m.command == "PONG") {
        const QByteArray token = last();
        if (token.startsWith('q')) {
            bool ok = false;
            const quint32 id = token.mid(1).toUInt(&ok);
            if (ok)
                confirm(id);
        }
    } else if (m.command == "001") {
        registered_ = true;
        welcomeTimer_.stop();
        if (!m.params.isEmpty())
            nick_ = QString::fromUtf8(m.params.first());
        writeLine("JOIN " + channel);
    } else if (m.command == "433" || m.command == "432" || m.command == "436" || m.command == "437") {
        if (!registered_)
            tryNextNick();
    } else if (m.command == "JOIN") {
        if (m.nick() == nick_.toUtf8() && !m.params.isEmpty() && isChannel(m.params.first())) {
            joined_ = true;
            ownPrefix_ = m.prefix;
            attempts_ = 0;
            emit notice(QStringLiteral("Joined %1 on %2 as %3.").arg(settings_.channel, settings_.host, nick_));
            pump();
        }
    } else if (m.command == "NICK") {
        if (m.nick() == nick_.toUtf8() && !m.params.isEmpty()) {
            nick_ = QString::fromUtf8(m.params.first());
            ownPrefix_ = m.params.first() + ownPrefix_.mid(ownPrefix_.indexOf('!'));
        }
    } else if (m.command == "KICK") {
        if (m.params.size() >= 2 && isChannel(m.params[0]) && m.params[1] == nick_.toUtf8()) {
            joined_ = false;
            emit notice(QStringLiteral("Kicked from %1 by %2 (%3); joining again.")
                            .arg(settings_.channel, QString::fromUtf8(m.nick()), text));
            QTimer::singleShot(kRejoinMs, this, [this, channel] {
                if (registered_ && !joined_)
                    writeLine("JOIN " + channel);
            });
        }
    } else if (m.command == "PRIVMSG") {
        if (m.params.size() >= 2 && isChannel(m.params[0]) && m.nick() != nick_.toUtf8()) {
            QString said = text;
            if (said.startsWith(QLatin1String("\x01" "ACTION ")))
                said = QStringLiteral("* ") + said.mid(8).remove(QChar(1));
            else if (said.startsWith(QChar(1)))
                return;  // other client-to-client queries get no answer
            emit this->said(QString::fromUtf8(m.nick()), IrcColors::stripCodes(said));
        }
    } else if (m.command == "ERROR") {
        lastError_ = text;
    } else if (m.command == "403" || m.command == "405" || m.command == "471" || m.command == "473"
               || m.command == "474" || m.command == "475" || m.command == "477") {
        emit notice(QStringLiteral("Cannot join %1: %2; trying again.").arg(settings_.channel, text));
        QTimer::singleShot(kRejoinMs * 6, this, [this, channel] {
            if (registered_ && !joined_)
                writeLine("JOIN " + channel);
        });
    } else if (m.command == "404") {
        emit notice(QStringLiteral("The server did not take a line for %1: %2").arg(settings_.channel, text));
    }
    updateStatus();
}

void IrcBridge::tryNextNick()
{
    const QString taken = nick_;
    if (++nickTries_ > kNickTries) {
        drop(QStringLiteral("the server took none of %1 nicks; choose another with --nick").arg(kNickTries));
        return;
    }
    // "name_", then "name1", "name2"... kept within the nine characters every server allows.
    nick_ = nickTries_ == 1 && settings_.nick.size() < 9 ? settings_.nick + QLatin1Char('_')
                                                         : settings_.nick.left(7) + QString::number(nickTries_);
    emit notice(QStringLiteral("The nick %1 is in use; trying %2.").arg(taken, nick_));
    writeLine("NICK " + nick_.toUtf8());
}

void IrcBridge::writeLine(const QByteArray& line)
{
    socket_.write(clean(line) + "\r\n");
}

int IrcBridge::budget() const
{
    // What others receive: ":nick!user@host PRIVMSG #channel :text" CR LF. Until the server has
    // shown us our host, assume the longest one.
    const QByteArray prefix = joined_ && !ownPrefix_.isEmpty()
                                  ? ownPrefix_
                                  : nick_.toUtf8() + "!~" + userName(settings_.nick) + '@' + QByteArray(63, 'h');
    const int overhead = 1 + int(prefix.size()) + 9 + int(settings_.channel.toUtf8().size()) + 2 + 2;
    return std::max(64, kLineLimit - overhead);
}

void IrcBridge::post(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    const QString html = decoder.decode(bytes);
    for (const QByteArray& line : IrcColors::fromHtml(html, settings_.palette, budget()))
        queue_.push_back(line);
    pump();
    updateStatus();
}

void IrcBridge::pump()
{
    if (!joined_ || !live_)
        return;
    const QByteArray command = "PRIVMSG " + settings_.channel.toUtf8() + " :";
    bool wrote = false;
    while (!queue_.empty() && settings_.pacer.take(now())) {
        writeLine(command + queue_.front());
        unconfirmed_.push_back({queue_.front(), nextPing_});
        queue_.pop_front();
        wrote = true;
    }
    if (wrote && pingOut_ == 0) {
        pingOut_ = nextPing_++;
        writeLine("PING :q" + QByteArray::number(pingOut_));
    }
    if (!queue_.empty())
        sendTimer_.start(int(std::max<qint64>(1, settings_.pacer.waitMs(now()))));
    updateStatus();
}

void IrcBridge::confirm(quint32 ping)
{
    while (!unconfirmed_.empty() && unconfirmed_.front().ping <= ping)
        unconfirmed_.pop_front();
    if (ping == pingOut_)
        pingOut_ = 0;
    if (!unconfirmed_.empty() && pingOut_ == 0 && live_) {
        pingOut_ = nextPing_++;
        writeLine("PING :q" + QByteArray::number(pingOut_));
    }
    updateStatus();
}

void IrcBridge::onDisconnected()
{
    lost();
}

void IrcBridge::onSocketError()
{
    if (lastError_.isEmpty())
        lastError_ = socket_.errorString();
    if (socket_.state() == QAbstractSocket::UnconnectedState)
        lost();
}

void IrcBridge::drop(const QString& why)
{
    lastError_ = why;
    socket_.abort();
    lost();
}

void IrcBridge::lost()
{
    if (!live_ || closing_)
        return;
    live_ = false;
    const bool wasJoined = joined_;
    registered_ = joined_ = false;
    sendTimer_.stop();
    welcomeTimer_.stop();
    idleTimer_.stop();
    pingOut_ = 0;
    // Lines the server may not have read go again, before the ones that were waiting.
    for (auto it = unconfirmed_.rbegin(); it != unconfirmed_.rend(); ++it)
        queue_.push_front(it->text);
    unconfirmed_.clear();
    const int pause = int(std::min<qint64>(kLongestPauseMs, 1000LL << std::min(attempts_, 6)));
    ++attempts_;
    retryTimer_.start(pause);
    QString why = lastError_.isEmpty() ? QStringLiteral("the server closed the connection") : lastError_;
    if (settings_.tls && !encrypted_)
        why = QStringLiteral("no TLS session (%1); is it a TLS port?").arg(why);
    const QString kept = queue_.empty()       ? QString()
                         : queue_.size() == 1 ? QStringLiteral(" 1 line kept;")
                                              : QStringLiteral(" %1 lines kept;").arg(queue_.size());
    emit notice(QStringLiteral("%1 %2:%3: %4;%5 connecting again in %6 s.")
                    .arg(wasJoined ? QStringLiteral("Lost the connection to") : QStringLiteral("Could not join via"),
                         settings_.host)
                    .arg(settings_.port)
                    .arg(why, kept)
                    .arg(pause / 1000));
    updateStatus();
}

void IrcBridge::updateStatus()
{
    QString s;
    if (joined_)
        s = QStringLiteral("%1 on %2 as %3").arg(settings_.channel, settings_.host, nick_);
    else if (live_)
        s = QStringLiteral("%1: connecting to %2:%3").arg(settings_.channel, settings_.host).arg(settings_.port);
    else
        s = QStringLiteral("%1: not connected, trying again soon").arg(settings_.channel);
    if (pending() > 0) {
        const qint64 t = now();
        const qint64 left = std::max<qint64>(0, settings_.pacer.finishAt(t, int(queue_.size())) - t);
        s += QStringLiteral(" · %1 lines queued").arg(pending());
        // Written but not yet read by the server, as far as we know: a stalled server shows here.
        if (!unconfirmed_.empty())
            s += QStringLiteral(" (%1 sent, not yet confirmed)").arg(unconfirmed_.size());
        s += QStringLiteral(", done about %1")
                 .arg(QDateTime::currentDateTime().addMSecs(left).toString(QStringLiteral("HH:mm:ss")));
    }
    if (s != status_) {
        status_ = s;
        emit statusChanged(s);
    }
}
