#include "wsksock.h"

#include "platform/clock.h"
#include "platform/codepage.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSslSocket>
#include <QStringList>

#include <map>

namespace WSKSOCK {

namespace {

// Each wait is bound; a reply that is complete ends it at once.
constexpr double kReplyWait = 3.0;
constexpr double kConnectWait = 10.0;
constexpr double kLookupWait = 10.0;
const char* const kNoAddress = "255.255.255.255";
// The name the shop gives after "helo ".
const char* const kClientDomain = "shop.quorl.example";
const QByteArray kCrLf = "\r\n";

bool started = false;

struct Connection {
    QPointer<QSslSocket> socket;
    bool busy = false; // a send is using it
};

std::map<int, Connection>& table()
{
    static std::map<int, Connection> connections;
    return connections;
}

int nextHandle = 1;

QSslSocket* find(int handle)
{
    const auto it = table().find(handle);
    return it == table().end() ? nullptr : it->second.socket.data();
}

// A send's own connection: marked busy while it runs, closed when the send is over.
class Using {
public:
    explicit Using(int handle) : handle_(handle)
    {
        if (auto it = table().find(handle); it != table().end())
            it->second.busy = true;
    }
    ~Using() { CloseSocket(handle_); }
    Using(const Using&) = delete;
    Using& operator=(const Using&) = delete;

private:
    int handle_;
};

// The design's rule: an answer holds a code when its three digits occur anywhere in it.
bool holds(const QString& answer, const char* code) { return answer.contains(QLatin1String(code)); }

// The code of the last line, for the steps of our own (secure connection and log-in).
int lastCode(const QString& answer)
{
    const QStringList lines = answer.split(QRegularExpression("\r\n|\n"), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return 0;
    const QString last = lines.last().trimmed();
    return last.size() >= 3 ? last.left(3).toInt() : 0;
}

// The keywords of an EHLO answer, upper-cased: "STARTTLS", "AUTH PLAIN LOGIN", ...
QStringList keywords(const QString& ehlo)
{
    QStringList out;
    for (const QString& line : ehlo.split(QRegularExpression("\r\n|\n"), Qt::SkipEmptyParts))
        if (line.size() > 4)
            out << line.mid(4).trimmed().toUpper();
    return out;
}

bool offers(const QString& ehlo, const QString& keyword)
{
    for (const QString& k : keywords(ehlo))
        if (k == keyword || k.startsWith(keyword + ' '))
            return true;
    return false;
}

QStringList authMechanisms(const QString& ehlo)
{
    QStringList out;
    for (const QString& k : keywords(ehlo))
        if (k.startsWith("AUTH ") || k.startsWith("AUTH="))
            out += k.mid(5).split(' ', Qt::SkipEmptyParts);
    return out;
}

QString command(int socket, const QString& text)
{
    SendText(socket, CodePage::fromUnicode(text) + kCrLf);
    return ReadAnswer(socket);
}

QString socketError(QSslSocket* s)
{
    QStringList why;
    for (const QSslError& e : s->sslHandshakeErrors())
        why << e.errorString();
    if (why.isEmpty())
        why << s->errorString();
    return why.join("; ");
}

bool hasLineBreak(const QString& text) { return text.contains('\r') || text.contains('\n'); }

bool logIn(int socket, const Relay& relay, const QString& ehlo, Failure& f)
{
    const QStringList mechanisms = authMechanisms(ehlo);
    QString r;
    if (mechanisms.contains("PLAIN")) {
        const QByteArray token = QByteArray(1, '\0') + relay.user.toUtf8() + QByteArray(1, '\0') + relay.password.toUtf8();
        r = command(socket, "auth PLAIN " + QString::fromLatin1(token.toBase64()));
    } else if (mechanisms.contains("LOGIN")) {
        r = command(socket, "auth LOGIN");
        if (lastCode(r) == 334)
            r = command(socket, QString::fromLatin1(relay.user.toUtf8().toBase64()));
        if (lastCode(r) == 334)
            r = command(socket, QString::fromLatin1(relay.password.toUtf8().toBase64()));
    } else {
        f = {Step::Login, QCoreApplication::translate("WSKSOCK", "The relay offers no log-in this shop knows (PLAIN or LOGIN).")};
        return false;
    }
    if (lastCode(r) == 235)
        return true;
    f = {Step::Login, r};
    return false;
}

} // namespace

bool StartWinsock()
{
    started = true;
    return true;
}

void EndWinsock()
{
    // A send that is still running (the waits let another window start one) keeps its connection.
    for (auto it = table().begin(); it != table().end();) {
        if (it->second.busy) {
            ++it;
            continue;
        }
        if (QSslSocket* s = it->second.socket.data()) {
            s->abort();
            s->deleteLater();
        }
        it = table().erase(it);
    }
    started = false;
}

bool Started() { return started; }

QString ResolveHostAddress(const QString& host)
{
    const QString name = host.trimmed();
    if (name.isEmpty())
        return kNoAddress;
    QHostAddress literal;
    if (literal.setAddress(name))
        return literal.protocol() == QAbstractSocket::IPv4Protocol ? literal.toString() : QString(kNoAddress);
    // The look-up runs beside the windows; a context object that dies with this call drops a late answer.
    QObject context;
    bool finished = false;
    QHostInfo info;
    const int id = QHostInfo::lookupHost(name, &context, [&](const QHostInfo& result) {
        info = result;
        finished = true;
    });
    if (!Clock::waitFor(kLookupWait, [&] { return finished; })) {
        QHostInfo::abortHostLookup(id);
        return kNoAddress;
    }
    for (const QHostAddress& a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    return kNoAddress;
}

int ConnectSocket(const QString& host, quint16 port, Security security, const QString& peerName, QString* where,
                  QString* error)
{
    const QString address = ResolveHostAddress(host);
    if (where)
        *where = address + ':' + QString::number(port);
    if (address == kNoAddress) {
        if (error)
            *error = QCoreApplication::translate("WSKSOCK", "The host %1 could not be found.").arg(host.trimmed());
        return -1;
    }
    auto* s = new QSslSocket(QCoreApplication::instance());
    s->setPeerVerifyName(peerName.isEmpty() ? host.trimmed() : peerName);
    if (security == Security::Tls)
        s->connectToHostEncrypted(address, port, s->peerVerifyName());
    else
        s->connectToHost(address, port);
    const auto ready = [s, security] {
        return security == Security::Tls ? s->isEncrypted() : s->state() == QAbstractSocket::ConnectedState;
    };
    Clock::waitFor(kConnectWait, [&] { return ready() || s->state() == QAbstractSocket::UnconnectedState; });
    if (!ready()) {
        if (error)
            *error = s->state() == QAbstractSocket::UnconnectedState
                         ? socketError(s)
                         : QCoreApplication::translate("WSKSOCK", "No answer from %1:%2.").arg(address).arg(port);
        s->abort();
        s->deleteLater();
        return -1;
    }
    // Commands are short and wait for their answers: no holding small writes back.
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const int handle = nextHandle++;
    table()[handle] = Connection{s, false};
    return handle;
}

qint64 SendText(int socket, const QByteArray& text)
{
    QSslSocket* s = find(socket);
    if (!s || s->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 n = s->write(text);
    s->flush();
    return n;
}

QString WaitForReply(int socket)
{
    QSslSocket* s = find(socket);
    if (!s)
        return {};
    QByteArray got;
    // A closed connection has nothing more to say, so the wait ends with it.
    Clock::waitFor(kReplyWait, [&] {
        got += s->readAll();
        return CompleteReply(got) || s->state() != QAbstractSocket::ConnectedState;
    });
    got += s->readAll();
    return CodePage::toUnicode(got).trimmed();
}

QString ReadAnswer(int socket)
{
    const QString first = WaitForReply(socket);
    return first.isEmpty() ? WaitForReply(socket) : first;
}

bool StartSecure(int socket, const QString& peerName, QString* error)
{
    QSslSocket* s = find(socket);
    if (!s)
        return false;
    s->setPeerVerifyName(peerName);
    s->startClientEncryption();
    Clock::waitFor(kConnectWait, [s] { return s->isEncrypted() || s->state() != QAbstractSocket::ConnectedState; });
    if (s->isEncrypted())
        return true;
    if (error)
        *error = s->state() == QAbstractSocket::ConnectedState
                     ? QCoreApplication::translate("WSKSOCK", "The secure connection was not made in time.")
                     : socketError(s);
    return false;
}

bool IsSecure(int socket)
{
    QSslSocket* s = find(socket);
    return s && s->isEncrypted();
}

void CloseSocket(int socket)
{
    const auto it = table().find(socket);
    if (it == table().end())
        return;
    if (QSslSocket* s = it->second.socket.data()) {
        s->abort();
        s->deleteLater();
    }
    table().erase(it);
}

bool CompleteReply(const QByteArray& bytes)
{
    if (!bytes.endsWith(kCrLf))
        return false;
    const qsizetype end = bytes.size() - 2;
    const qsizetype start = bytes.lastIndexOf('\n', end - 1) + 1;
    const QByteArray last = bytes.mid(start, end - start);
    if (last.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (last[i] < '0' || last[i] > '9')
            return false;
    return last.size() == 3 || last[3] == ' ';
}

QByteArray DotStuff(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 64 + 2);
    bool lineStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += kCrLf;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = false;
    }
    return out;
}

QByteArray MessageText(const Mail& mail)
{
    QString m;
    m += "From: " + mail.sender + "\r\n";
    m += "To: " + mail.recipient + "\r\n";
    m += "Subject: " + OneLine(mail.subject) + "\r\n";
    m += "Mime-Version: 1.0\r\n";
    m += "Content-Type: multipart/mixed; boundary=\"NextMimePart\"\r\n";
    m += "\r\n";
    m += "This is a multi-part message in MIME format.\r\n";
    m += "--NextMimePart\r\n";
    m += "\r\n";
    m += mail.body;
    return DotStuff(CodePage::fromUnicode(m) + kCrLf);
}

QString OneLine(const QString& text)
{
    QString out = text;
    out.remove('\r');
    out.remove('\n');
    return out;
}

QString StepText(Step step)
{
    switch (step) {
    case Step::None: return {};
    case Step::Address: return QCoreApplication::translate("WSKSOCK", "an address holds a line break");
    case Step::Connection: return QCoreApplication::translate("WSKSOCK", "the mail relay could not be reached");
    case Step::Greeting: return QCoreApplication::translate("WSKSOCK", "the mail relay did not greet");
    case Step::Hello: return QCoreApplication::translate("WSKSOCK", "the mail relay refused the hello");
    case Step::Secure: return QCoreApplication::translate("WSKSOCK", "the connection could not be made secure");
    case Step::Login: return QCoreApplication::translate("WSKSOCK", "the log-in at the mail relay failed");
    case Step::Sender: return QCoreApplication::translate("WSKSOCK", "the mail relay refused the sender");
    case Step::Recipient: return QCoreApplication::translate("WSKSOCK", "the mail relay refused the recipient");
    case Step::Data: return QCoreApplication::translate("WSKSOCK", "the mail relay would not take the message");
    case Step::EndOfData: return QCoreApplication::translate("WSKSOCK", "the mail relay did not accept the message at its end");
    }
    return {};
}

bool SendMail(const Mail& mail, const Relay& relay, Failure* failure)
{
    Failure local;
    Failure& f = failure ? *failure : local;
    f = {};
    const auto fail = [&f](Step step, const QString& detail) {
        f = {step, detail};
        return false;
    };
    // A line break in an address would let the text after it act as a command of its own.
    if (hasLineBreak(mail.sender) || hasLineBreak(mail.recipient))
        return fail(Step::Address, QCoreApplication::translate("WSKSOCK", "Nothing was sent."));

    StartWinsock();
    QString error;
    const int s = ConnectSocket(relay.host, relay.port, relay.security, relay.host, nullptr, &error);
    if (s < 0)
        return fail(Step::Connection, error);
    Using use(s);

    QString r = ReadAnswer(s);
    if (r.isEmpty() || !holds(r, "220"))
        return fail(Step::Greeting, r);

    const QString domain = QString::fromLatin1(kClientDomain);
    const bool logInWanted = !relay.user.isEmpty();
    if (logInWanted || relay.security == Security::StartTls) {
        r = command(s, "ehlo " + domain);
        if (r.isEmpty() || !holds(r, "250"))
            return fail(Step::Hello, r);
        if (relay.security == Security::StartTls) {
            if (!offers(r, "STARTTLS"))
                return fail(Step::Secure, QCoreApplication::translate("WSKSOCK", "The relay offers no STARTTLS."));
            r = command(s, "starttls");
            if (lastCode(r) != 220)
                return fail(Step::Secure, r);
            if (!StartSecure(s, relay.host, &error))
                return fail(Step::Secure, error);
            r = command(s, "ehlo " + domain);
            if (r.isEmpty() || !holds(r, "250"))
                return fail(Step::Hello, r);
        }
        if (logInWanted) {
            if (!IsSecure(s))
                return fail(Step::Login, QCoreApplication::translate(
                                             "WSKSOCK", "The connection is not encrypted, so the password was not sent."));
            if (!logIn(s, relay, r, f))
                return false;
        }
    } else {
        r = command(s, "helo " + domain);
        if (r.isEmpty() || !holds(r, "250"))
            return fail(Step::Hello, r);
    }

    r = command(s, "mail from: " + mail.sender);
    if (r.isEmpty() || !holds(r, "250"))
        return fail(Step::Sender, r);
    r = command(s, "rcpt to: " + mail.recipient);
    if (r.isEmpty() || !holds(r, "250"))
        return fail(Step::Recipient, r);
    r = command(s, "data");
    if (r.isEmpty() || !holds(r, "354"))
        return fail(Step::Data, r);

    // The relay says nothing until the final full stop, so the pieces go without waits between.
    SendText(s, MessageText(mail));
    SendText(s, "\r\n--NextMimePart--\r\n\r\n");
    SendText(s, "\r\n.\r\n");
    r = ReadAnswer(s);
    if (r.isEmpty() || !holds(r, "250"))
        return fail(Step::EndOfData, r);

    // The mail is taken; a relay that does not answer the goodbye costs one wait at most.
    SendText(s, "quit\r\n");
    WaitForReply(s);
    if (QSslSocket* socket = find(s))
        socket->disconnectFromHost();
    EndWinsock();
    return true;
}

} // namespace WSKSOCK
