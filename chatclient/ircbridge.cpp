#include "ircbridge.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSslConfiguration>
#include <QStringDecoder>

namespace {

constexpr int kLineLimit = 512;          // with prefix and CR LF, as servers count it
constexpr qint64 kReadChunk = 65536;     // read from the socket at a time; the rest waits in the system
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

// A stretch of what a server sent, fit for a sentence in the room.
QString excerpt(const QByteArray& bytes)
{
    QString text = decodeIncoming(bytes.left(60));
    for (QChar& c : text)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QLatin1Char('?');
    return bytes.size() > 60 ? text + QStringLiteral("...") : text;
}

QString sizeText(qint64 bytes)
{
    return bytes % 1024 == 0 ? QStringLiteral("%1 KB").arg(bytes / 1024) : QStringLiteral("%1 bytes").arg(bytes);
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

IrcBridge::IrcBridge(const IrcSettings& settings, MsClock clock, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , clock_(std::move(clock))
    , members_(settings.channel.toUtf8())
    , nick_(settings.nick)
{
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] { return timer->elapsed(); };
    }
    for (QTimer* t : {&sendTimer_, &retryTimer_, &welcomeTimer_, &idleTimer_, &rejoinTimer_, &stallTimer_})
        t->setSingleShot(true);
    connect(&sendTimer_, &QTimer::timeout, this, &IrcBridge::pump);
    connect(&retryTimer_, &QTimer::timeout, this, &IrcBridge::connectNow);
    connect(&welcomeTimer_, &QTimer::timeout, this, [this] {
        drop(QStringLiteral("no welcome from the server within %1 s; is it an IRC server?")
                 .arg(settings_.limits.welcomeMs / 1000.0));
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
    connect(&rejoinTimer_, &QTimer::timeout, this, [this] {
        if (registered_ && !joined_)
            writeLine("JOIN " + settings_.channel.toUtf8());
    });
    connect(&stallTimer_, &QTimer::timeout, this, [this] {
        drop(QStringLiteral("the server neither took nor answered what we sent for %1 s, so it was dropped")
                 .arg(settings_.limits.stallMs / 1000.0));
    });
    if (!settings_.trusted.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(settings_.trusted);
        socket_.setSslConfiguration(tls);
    }
    // What the server sends waits in the system beyond this, not in our memory.
    socket_.setReadBufferSize(kReadChunk);
    connect(&socket_, &QSslSocket::connected, this, [this] {
        if (!settings_.tls)
            onConnected();
    });
    connect(&socket_, &QSslSocket::encrypted, this, [this] {
        encrypted_ = true;
        onConnected();
    });
    connect(&socket_, &QSslSocket::readyRead, this, &IrcBridge::onReadyRead);
    connect(&socket_, &QSslSocket::bytesWritten, this, &IrcBridge::onBytesWritten);
    connect(&socket_, &QSslSocket::encryptedBytesWritten, this, &IrcBridge::onBytesWritten);
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
    reader_.clear();
    registered_ = joined_ = idlePingOut_ = encrypted_ = false;
    notedNoIrc_ = notedLongLine_ = notedFullList_ = false;
    kickedBy_.clear();
    pingOut_ = 0;
    nick_ = settings_.nick;
    nickTries_ = 0;
    lastError_.clear();
    settings_.pacer.reset();
    live_ = true;
    welcomeTimer_.start(settings_.limits.welcomeMs);
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
    const QByteArray bytes = socket_.read(kReadChunk);
    idleTimer_.start(kIdleMs);
    idlePingOut_ = false;
    for (const IrcLineReader::Line& line : reader_.feed(bytes)) {
        if (!live_)
            return;
        lineArrived(line);
    }
    if (membersDirty_ && live_) {
        membersDirty_ = false;
        if (members_.overflowed())
            noteOnce(notedFullList_, QStringLiteral("%1 has more members than the %2 the people list shows.")
                                         .arg(settings_.channel)
                                         .arg(IrcMembers::kMostShown));
        emit membersChanged(members_.names());
    }
    // With a bounded read buffer the rest may already wait in the socket.
    if (live_ && socket_.bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &IrcBridge::onReadyRead, Qt::QueuedConnection);
}

void IrcBridge::noteOnce(bool& noted, const QString& text)
{
    if (noted)
        return;
    noted = true;
    emit notice(text);
}

void IrcBridge::lineArrived(const IrcLineReader::Line& line)
{
    if (line.cut)
        noteOnce(notedLongLine_,
                 QStringLiteral("The server sent a line longer than the %1 bytes IRC allows; the rest of it was "
                                "left out.")
                     .arg(kLineLimit));
    if (line.text.trimmed().isEmpty())
        return;
    const IrcMessage m = IrcMessage::parse(line.text);
    if (!m.isIrc()) {
        noteOnce(notedNoIrc_,
                 QStringLiteral("The server sent something that is no IRC, left out: \"%1\".").arg(excerpt(line.text)));
        return;
    }
    handle(m);
}

void IrcBridge::handle(const IrcMessage& m)
{
    const QByteArray channel = settings_.channel.toUtf8();
    auto isChannel = [&](const QByteArray& target) {
        return IrcMembers::folded(target) == IrcMembers::folded(channel);
    };
    auto last = [&] { return m.params.isEmpty() ? QByteArray() : m.params.last(); };
    const QString text = decodeIncoming(last());
    const bool fromUs = IrcMembers::folded(m.nick()) == IrcMembers::folded(nick_.toUtf8());

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
        emit nickChanged(nick_);
        writeLine("JOIN " + channel);
    } else if (m.command == "433" || m.command == "432" || m.command == "436" || m.command == "437") {
        if (!registered_)
            tryNextNick();
    } else if (m.command == "JOIN") {
        if (fromUs && !m.params.isEmpty() && isChannel(m.params.first())) {
            joined_ = true;
            kickedBy_.clear();
            rejoinTimer_.stop();
            ownPrefix_ = m.prefix;
            attempts_ = 0;
            members_.clear();
            emit notice(QStringLiteral("Joined %1 on %2 as %3.").arg(settings_.channel, settings_.host, nick_));
            pump();
        }
    } else if (m.command == "NICK") {
        if (fromUs && !m.params.isEmpty()) {
            nick_ = QString::fromUtf8(m.params.first());
            ownPrefix_ = m.params.first() + ownPrefix_.mid(ownPrefix_.indexOf('!'));
            emit nickChanged(nick_);
        }
    } else if (m.command == "KICK") {
        if (m.params.size() >= 2 && isChannel(m.params[0])) {
            const QString kicker = QString::fromUtf8(m.nick());
            const QString reason = m.params.size() >= 3 ? QStringLiteral(" (%1)").arg(text) : QString();
            if (IrcMembers::folded(m.params[1]) == IrcMembers::folded(nick_.toUtf8())) {
                joined_ = false;
                kickedBy_ = kicker;
                members_.clear();
                membersDirty_ = true;
                emit notice(QStringLiteral("Kicked from %1 by %2%3; joining again in %4 s.")
                                .arg(settings_.channel, kicker, reason)
                                .arg(kRejoinMs / 1000));
                rejoinIn(kRejoinMs);
                updateStatus();
                return;
            }
            emit notice(QStringLiteral("%1 was kicked from %2 by %3%4.")
                            .arg(QString::fromUtf8(m.params[1]), settings_.channel, kicker, reason));
        }
    } else if (m.command == "PRIVMSG") {
        if (m.params.size() >= 2 && isChannel(m.params[0]) && !fromUs) {
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
        if (!rejoinTimer_.isActive())
            emit notice(QStringLiteral("Cannot join %1: %2; trying again.").arg(settings_.channel, text));
        rejoinIn(kRejoinMs * 6);
    } else if (m.command == "404") {
        emit notice(QStringLiteral("The server did not take a line for %1: %2").arg(settings_.channel, text));
    }
    // Only while we are in the channel is its list ours to show.
    if (joined_ && members_.handle(m))
        membersDirty_ = true;
    updateStatus();
}

void IrcBridge::rejoinIn(int ms)
{
    // One rejoin however many refusals come; a server repeating itself sets no more timers.
    if (!rejoinTimer_.isActive())
        rejoinTimer_.start(ms);
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

bool IrcBridge::writeLine(const QByteArray& line)
{
    if (!live_)
        return false;
    const QByteArray bytes = clean(line) + "\r\n";
    // A server that reads nothing while it keeps talking (a PING flood) would have us keep its
    // answers for ever.
    if (unsent() + bytes.size() > settings_.limits.unsentBytes) {
        drop(QStringLiteral("the server left %1 of what we sent unread, the most we keep for it, so it was dropped")
                 .arg(sizeText(settings_.limits.unsentBytes)));
        return false;
    }
    socket_.write(bytes);
    watchStall();
    return true;
}

qint64 IrcBridge::unsent() const
{
    // Over TLS what waits may already be encrypted.
    return socket_.bytesToWrite() + socket_.encryptedBytesToWrite();
}

void IrcBridge::watchStall()
{
    // Something waits on the server: bytes it has not taken, or a PING it has not answered.
    const bool waiting = unsent() > 0 || pingOut_ != 0;
    if (!waiting)
        stallTimer_.stop();
    else if (!stallTimer_.isActive())
        stallTimer_.start(settings_.limits.stallMs);
}

void IrcBridge::onBytesWritten()
{
    // The server takes what we send: the wait starts again.
    stallTimer_.stop();
    watchStall();
    if (!queue_.empty() && !sendTimer_.isActive())
        pump();
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
    queue_.setBound(settings_.limits.keptLines);
    const QStringList notices =
        queue_.add(bytes, settings_.palette, budget(), settings_.channel, int(unconfirmed_.size()));
    for (const QString& n : notices)
        emit notice(n);
    pump();
    updateStatus();
}

void IrcBridge::pump()
{
    if (!joined_ || !live_)
        return;
    const QByteArray command = "PRIVMSG " + settings_.channel.toUtf8() + " :";
    // The room's lines wait in our queue, not in the socket, while the server is slow to take them;
    // a quarter of the bound leaves room for the answers a server asks for.
    const qint64 roomy = settings_.limits.unsentBytes / 4;
    bool wrote = false;
    while (!queue_.empty() && unsent() < roomy && settings_.pacer.take(now())) {
        if (!writeLine(command + queue_.front()))
            return;
        unconfirmed_.push_back({queue_.front(), nextPing_});
        queue_.pop_front();
        wrote = true;
    }
    if (wrote && pingOut_ == 0)
        sendPing();
    if (!queue_.empty() && unsent() < roomy)
        sendTimer_.start(int(std::max<qint64>(1, settings_.pacer.waitMs(now()))));
    updateStatus();
}

void IrcBridge::sendPing()
{
    pingOut_ = nextPing_++;
    if (writeLine("PING :q" + QByteArray::number(pingOut_)))
        watchStall();
}

void IrcBridge::confirm(quint32 ping)
{
    while (!unconfirmed_.empty() && unconfirmed_.front().ping <= ping)
        unconfirmed_.pop_front();
    if (ping == pingOut_) {
        pingOut_ = 0;
        stallTimer_.stop();
        watchStall();
    }
    if (!unconfirmed_.empty() && pingOut_ == 0 && live_)
        sendPing();
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
    for (QTimer* t : {&sendTimer_, &welcomeTimer_, &idleTimer_, &rejoinTimer_, &stallTimer_})
        t->stop();
    pingOut_ = 0;
    kickedBy_.clear();
    reader_.clear();
    members_.clear();
    membersDirty_ = false;
    emit membersChanged({});
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
    const QString where = QStringLiteral("%1:%2").arg(settings_.host).arg(settings_.port);
    if (joined_)
        s = QStringLiteral("%1: connected to %2 as %3").arg(settings_.channel, settings_.host, nick_);
    else if (registered_ && !kickedBy_.isEmpty())
        s = QStringLiteral("%1: connected to %2 as %3, kicked by %4; joining again")
                .arg(settings_.channel, settings_.host, nick_, kickedBy_);
    else if (registered_)
        s = QStringLiteral("%1: connected to %2 as %3, joining").arg(settings_.channel, settings_.host, nick_);
    else if (live_)
        s = QStringLiteral("%1: connecting to %2").arg(settings_.channel, where);
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
