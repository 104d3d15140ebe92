#include "wsksock.h"

#include "platform/clock.h"
#include "platform/codepage.h"

#include <QCoreApplication>
#include <cctype>
#include <QDateTime>
#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <map>

namespace WSKSOCK {

namespace {

// Each wait is bound; a reply that is complete ends it at once.
constexpr double kReplyWait = 3.0;
constexpr double kConnectWait = 10.0;
constexpr double kLookupWait = 10.0;
// What Qt may hold unread for one connection; a reply is capped well below it.
constexpr qint64 kReadBuffer = 64 * 1024;
// The long wait after the final full stop goes in slices, so its watch is asked now and then.
constexpr double kWatchSlice = 1.0;
const char* const kNoAddress = "255.255.255.255";
// The name the shop gives after "helo ".
const char* const kClientDomain = "shop.quorl.example";
const QByteArray kCrLf = "\r\n";

// The last line of an answer that ends in a line end, without that end.
QByteArray lastLine(const QByteArray& bytes)
{
    const qsizetype end = bytes.size() - (bytes.endsWith(kCrLf) ? 2 : 1);
    const qsizetype start = bytes.lastIndexOf('\n', end - 1) + 1;
    return bytes.mid(start, end - start);
}

bool startsWithCode(const QByteArray& line)
{
    return line.size() >= 3 && std::isdigit(uchar(line[0])) && std::isdigit(uchar(line[1])) &&
           std::isdigit(uchar(line[2]));
}

bool started = false;
std::function<bool(double)> endOfDataWatch;

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

// What one wait for an answer brought.
struct Heard {
    QByteArray bytes;
    bool tooLong = false; // more than a reply may hold came without its end
    bool closed = false;  // the connection is gone
    double waited = 0;    // the seconds the waits were allowed
    QString text() const { return CodePage::toUnicode(bytes).trimmed(); }
    // A whole answer: a complete reply, or at least a whole line that does not promise more
    // (a line "220-..." says another line follows).
    bool whole() const
    {
        if (tooLong)
            return false;
        if (CompleteReply(bytes))
            return true;
        if (!bytes.endsWith('\n'))
            return false;
        const QByteArray last = lastLine(bytes);
        return !(startsWithCode(last) && last.size() > 3 && last[3] == '-');
    }
};

// Reads what is there, never more than one byte past the cap; true when the cap is passed.
bool pull(QSslSocket* s, QByteArray& got)
{
    const qint64 room = kMaxReply + 1 - got.size();
    if (room > 0)
        got += s->read(room);
    return got.size() > kMaxReply;
}

void waitInto(QSslSocket* s, Heard& h, double seconds)
{
    h.waited += seconds;
    Clock::waitFor(seconds, [&] {
        h.tooLong = pull(s, h.bytes);
        return h.tooLong || CompleteReply(h.bytes) || s->state() != QAbstractSocket::ConnectedState;
    });
    if (!h.tooLong)
        h.tooLong = pull(s, h.bytes);
}

// One answer: a bounded wait, and a second one when nothing, or only part of a reply, came.
Heard hear(int socket)
{
    Heard h;
    QSslSocket* s = find(socket);
    if (!s) {
        h.closed = true;
        return h;
    }
    waitInto(s, h, kReplyWait);
    if (!h.tooLong && !CompleteReply(h.bytes) && s->state() == QAbstractSocket::ConnectedState)
        waitInto(s, h, kReplyWait);
    h.closed = s->state() != QAbstractSocket::ConnectedState;
    return h;
}

// The answer to the final full stop: a relay may take minutes to accept a mail (it may be
// checking it), so the wait is long, in slices, and the watch may end it.
Heard hearEnd(int socket, bool* stopped)
{
    Heard h;
    *stopped = false;
    QSslSocket* s = find(socket);
    if (!s) {
        h.closed = true;
        return h;
    }
    const double start = Clock::monotonic();
    h.waited = kEndOfDataWait;
    for (;;) {
        const double spent = Clock::monotonic() - start;
        if (spent >= kEndOfDataWait)
            break;
        const bool over = Clock::waitFor(std::min(kWatchSlice, kEndOfDataWait - spent), [&] {
            h.tooLong = pull(s, h.bytes);
            if (h.tooLong || CompleteReply(h.bytes) || s->state() != QAbstractSocket::ConnectedState)
                return true;
            *stopped = endOfDataWatch && !endOfDataWatch(Clock::monotonic() - start);
            return *stopped;
        });
        if (over)
            break;
    }
    h.closed = s->state() != QAbstractSocket::ConnectedState;
    return h;
}

Heard command(int socket, const QString& text)
{
    SendText(socket, CodePage::fromUnicode(text) + kCrLf);
    return hear(socket);
}

QString seconds(double n) { return QString::number(n, 'g', 4); }

// Fills f for an answer that is not the one expected; false always.
bool judgeFailed(Failure& f, Step step, const Heard& h)
{
    f = {};
    f.step = step;
    const QString text = h.text();
    if (h.tooLong) {
        f.trouble = Trouble::TooLong;
        f.detail = QCoreApplication::translate("WSKSOCK",
                                               "The mail relay sent more than %1 bytes without ending its answer, so "
                                               "the shop closed the connection.")
                       .arg(kMaxReply);
    } else if (text.isEmpty()) {
        f.trouble = h.closed ? Trouble::Closed : Trouble::TimedOut;
        f.detail = h.closed ? QCoreApplication::translate("WSKSOCK", "The mail relay closed the connection.")
                            : QCoreApplication::translate("WSKSOCK", "No answer came within %1 seconds.").arg(seconds(h.waited));
    } else if (!h.whole()) {
        f.trouble = h.closed ? Trouble::Closed : Trouble::TimedOut;
        f.detail = QCoreApplication::translate("WSKSOCK", "The answer was not finished within %1 seconds; it began: %2")
                       .arg(seconds(h.waited), text.left(200));
    } else {
        f.detail = text;
    }
    return false;
}

// The design's test (the code anywhere in a whole answer), or the code of the last line.
bool judge(Failure& f, Step step, const Heard& h, const char* code)
{
    return (h.whole() && holds(h.text(), code)) || judgeFailed(f, step, h);
}

bool judgeLast(Failure& f, Step step, const Heard& h, int code)
{
    return (h.whole() && lastCode(h.text()) == code) || judgeFailed(f, step, h);
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
    Heard h;
    if (mechanisms.contains("PLAIN")) {
        const QByteArray token = QByteArray(1, '\0') + relay.user.toUtf8() + QByteArray(1, '\0') + relay.password.toUtf8();
        h = command(socket, "auth PLAIN " + QString::fromLatin1(token.toBase64()));
    } else if (mechanisms.contains("LOGIN")) {
        h = command(socket, "auth LOGIN");
        if (h.whole() && lastCode(h.text()) == 334)
            h = command(socket, QString::fromLatin1(relay.user.toUtf8().toBase64()));
        if (h.whole() && lastCode(h.text()) == 334)
            h = command(socket, QString::fromLatin1(relay.password.toUtf8().toBase64()));
    } else {
        f = {Step::Login, QCoreApplication::translate("WSKSOCK", "The relay offers no log-in this shop knows (PLAIN or LOGIN).")};
        return false;
    }
    if (judgeLast(f, Step::Login, h, 235))
        return true;
    // 535: the user name and password were not accepted (a 454 is the relay's own trouble).
    f.loginRefused = h.whole() && lastCode(h.text()) == 535;
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
                  QString* error, const QString& caFile)
{
    QList<QSslCertificate> trusted;
    if (!caFile.isEmpty()) {
        trusted = QSslCertificate::fromPath(caFile, QSsl::Pem);
        if (trusted.isEmpty())
            trusted = QSslCertificate::fromPath(caFile, QSsl::Der);
        if (trusted.isEmpty()) {
            if (error)
                *error = QCoreApplication::translate("WSKSOCK", "The certificate file %1 holds no certificate that can be read.")
                             .arg(caFile);
            return -1;
        }
    }
    const QString address = ResolveHostAddress(host);
    if (where)
        *where = address + ':' + QString::number(port);
    if (address == kNoAddress) {
        if (error)
            *error = QCoreApplication::translate("WSKSOCK", "The host %1 could not be found.").arg(host.trimmed());
        return -1;
    }
    auto* s = new QSslSocket(QCoreApplication::instance());
    // Unread bytes stay in the system's buffer beyond this, so a flooding relay cannot fill memory.
    s->setReadBufferSize(kReadBuffer);
    if (!trusted.isEmpty()) {
        QSslConfiguration conf = s->sslConfiguration();
        conf.addCaCertificates(trusted);
        s->setSslConfiguration(conf);
    }
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
    Heard h;
    waitInto(s, h, kReplyWait);
    return h.text();
}

QString ReadAnswer(int socket) { return hear(socket).text(); }

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
    const QByteArray last = lastLine(bytes);
    return startsWithCode(last) && (last.size() == 3 || last[3] == ' ');
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

QByteArray QuotedPrintable(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 8 + 8);
    int column = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            out += kCrLf;
            column = 0;
            continue;
        }
        const bool lineEnds = i + 1 == utf8.size() || utf8[i + 1] == '\r' || utf8[i + 1] == '\n';
        // A blank at a line end would be lost; a "-" that starts a line could be read as the boundary.
        const auto literalAt = [&](int at) {
            return (c == ' ' || c == '\t') ? !lineEnds : (c >= 33 && c <= 126 && c != '=' && !(c == '-' && at == 0));
        };
        bool literal = literalAt(column);
        int width = literal ? 1 : 3;
        if (column + width > 75) {
            out += "=\r\n";
            column = 0;
            literal = literalAt(0);
            width = literal ? 1 : 3;
        }
        if (literal) {
            out += char(c);
        } else {
            out += '=';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        column += width;
    }
    out += '=';
    return out;
}

QByteArray SubjectField(const QString& subject)
{
    const QString s = OneLine(subject);
    bool plain = s.size() <= 900 && !s.contains("=?") && !s.startsWith(' ') && !s.endsWith(' ') && !s.contains("  ");
    for (const QChar c : s)
        plain = plain && c.unicode() >= 0x20 && c.unicode() <= 0x7e;
    if (plain)
        return s.toLatin1();
    // Words of at most 45 bytes of UTF-8 (75 characters encoded), never splitting a character.
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?utf-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (const char32_t cp : s.toUcs4()) {
        const QByteArray u = QString::fromUcs4(&cp, 1).toUtf8();
        if (chunk.size() + u.size() > 45)
            flush();
        chunk += u;
    }
    if (!chunk.isEmpty())
        flush();
    return out;
}

QByteArray MessageText(const Mail& mail)
{
    QByteArray m;
    m += "From: " + CodePage::fromUnicode(mail.sender) + kCrLf;
    m += "To: " + CodePage::fromUnicode(mail.recipient) + kCrLf;
    m += "Subject: " + SubjectField(mail.subject) + kCrLf;
    m += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + kCrLf;
    m += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' + kClientDomain + '>' + kCrLf;
    m += "Mime-Version: 1.0\r\n";
    m += "Content-Type: multipart/mixed; boundary=\"NextMimePart\"\r\n";
    m += "\r\n";
    m += "This is a multi-part message in MIME format.\r\n";
    m += "--NextMimePart\r\n";
    m += "Content-Type: text/plain; charset=utf-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += QuotedPrintable(mail.body);
    return DotStuff(m + kCrLf);
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

namespace {

// What the shop had asked for when a step's answer went wrong.
QString askedFor(Step step)
{
    switch (step) {
    case Step::Hello: return QCoreApplication::translate("WSKSOCK", "the hello");
    case Step::Secure: return QCoreApplication::translate("WSKSOCK", "the request for a secure connection");
    case Step::Login: return QCoreApplication::translate("WSKSOCK", "the log-in");
    case Step::Sender: return QCoreApplication::translate("WSKSOCK", "the sender");
    case Step::Recipient: return QCoreApplication::translate("WSKSOCK", "the recipient");
    case Step::Data: return QCoreApplication::translate("WSKSOCK", "the start of the message");
    case Step::EndOfData: return QCoreApplication::translate("WSKSOCK", "the end of the message");
    default: break;
    }
    return {};
}

} // namespace

QString FailureText(const Failure& f)
{
    const QString asked = askedFor(f.step);
    if (f.step == Step::None)
        return QCoreApplication::translate("WSKSOCK", "another mail is still being sent");
    if (asked.isEmpty() || f.trouble == Trouble::Refused) {
        if (f.step == Step::Greeting && f.trouble == Trouble::TimedOut)
            return QCoreApplication::translate("WSKSOCK", "the mail relay did not greet in time");
        if (f.step == Step::Greeting && f.trouble == Trouble::TooLong)
            return QCoreApplication::translate("WSKSOCK", "the mail relay's greeting was too long");
        if (f.step == Step::Address && f.trouble == Trouble::TooLong)
            return QCoreApplication::translate("WSKSOCK", "an address is too long");
        return StepText(f.step);
    }
    switch (f.trouble) {
    case Trouble::TimedOut: return QCoreApplication::translate("WSKSOCK", "the mail relay did not answer %1 in time").arg(asked);
    case Trouble::TooLong: return QCoreApplication::translate("WSKSOCK", "the mail relay's answer to %1 was too long").arg(asked);
    case Trouble::Closed: return QCoreApplication::translate("WSKSOCK", "the mail relay closed the connection at %1").arg(asked);
    case Trouble::Stopped: return QCoreApplication::translate("WSKSOCK", "the wait for the mail relay's answer to %1 was stopped").arg(asked);
    case Trouble::Refused: break;
    }
    return StepText(f.step);
}

void SetEndOfDataWatch(std::function<bool(double)> watch) { endOfDataWatch = std::move(watch); }

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
    // A relay takes a path of at most 256 octets, brackets included; a longer one would also
    // make the header line too long.
    for (const QString* address : {&mail.sender, &mail.recipient})
        if (CodePage::fromUnicode(*address).size() > kMaxAddress) {
            fail(Step::Address, QCoreApplication::translate("WSKSOCK", "An address may hold at most %1 characters; "
                                                                       "this one holds %2. Nothing was sent.")
                                    .arg(kMaxAddress)
                                    .arg(address->size()));
            f.trouble = Trouble::TooLong;
            return false;
        }

    StartWinsock();
    QString error;
    const int s = ConnectSocket(relay.host, relay.port, relay.security, relay.host, nullptr, &error, relay.caFile);
    if (s < 0)
        return fail(Step::Connection, error);
    Using use(s);

    Heard h = hear(s);
    if (!judge(f, Step::Greeting, h, "220"))
        return false;

    const QString domain = QString::fromLatin1(kClientDomain);
    const bool logInWanted = !relay.user.isEmpty();
    if (logInWanted || relay.security == Security::StartTls) {
        h = command(s, "ehlo " + domain);
        if (!judge(f, Step::Hello, h, "250"))
            return false;
        if (relay.security == Security::StartTls) {
            if (!offers(h.text(), "STARTTLS"))
                return fail(Step::Secure, QCoreApplication::translate("WSKSOCK", "The relay offers no STARTTLS."));
            if (!judgeLast(f, Step::Secure, command(s, "starttls"), 220))
                return false;
            if (!StartSecure(s, relay.host, &error))
                return fail(Step::Secure, error);
            h = command(s, "ehlo " + domain);
            if (!judge(f, Step::Hello, h, "250"))
                return false;
        }
        if (logInWanted) {
            if (!IsSecure(s))
                return fail(Step::Login, QCoreApplication::translate(
                                             "WSKSOCK", "The connection is not encrypted, so the password was not sent."));
            if (!logIn(s, relay, h.text(), f))
                return false;
        }
    } else if (!judge(f, Step::Hello, command(s, "helo " + domain), "250")) {
        return false;
    }

    if (!judge(f, Step::Sender, command(s, "mail from: " + mail.sender), "250"))
        return false;
    if (!judge(f, Step::Recipient, command(s, "rcpt to: " + mail.recipient), "250"))
        return false;
    if (!judge(f, Step::Data, command(s, "data"), "354"))
        return false;

    // The relay says nothing until the final full stop, so the pieces go without waits between.
    SendText(s, MessageText(mail));
    SendText(s, "\r\n--NextMimePart--\r\n\r\n");
    SendText(s, "\r\n.\r\n");
    bool stopped = false;
    h = hearEnd(s, &stopped);
    if (!judge(f, Step::EndOfData, h, "250")) {
        // From here on the relay holds the whole mail; only its answer says whether it takes it.
        if (stopped) {
            f.trouble = Trouble::Stopped;
            f.detail = QCoreApplication::translate("WSKSOCK", "The wait was stopped before the relay answered.");
        }
        f.mayHaveGone = f.trouble != Trouble::Refused;
        return false;
    }

    // The mail is taken; a relay that does not answer the goodbye costs one wait at most.
    SendText(s, "quit\r\n");
    WaitForReply(s);
    if (QSslSocket* socket = find(s))
        socket->disconnectFromHost();
    EndWinsock();
    return true;
}

} // namespace WSKSOCK
