#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

// The shop's only network code: one plain-text mail through an SMTP relay. A send returns when
// the whole dialogue is over; its waits keep the windows live and end as soon as a complete reply
// is in, or after about 3 s (once more when nothing came).
namespace WSKSOCK {

enum class Security { None, StartTls, Tls };

// Where the mail goes. With a user name the client says EHLO, makes the connection secure as
// asked and logs in; the password never goes over a connection that is not encrypted.
struct Relay {
    QString host;
    quint16 port = 25;
    Security security = Security::None;
    QString user;
    QString password;
    QString sender; // the user's own address, used after a log-in
    QString caFile; // certificates (PEM) trusted for this relay beside the system's
};

struct Mail {
    QString sender;
    QString recipient;
    QString subject;
    QString body;
};

// The step a failed send stopped at.
enum class Step { None, Address, Connection, Greeting, Hello, Secure, Login, Sender, Recipient, Data, EndOfData };

// How the step went wrong: the relay said no, its answer did not come (or not whole) in time,
// it sent more than an answer may hold, it closed the connection, or the user stopped the wait.
enum class Trouble { Refused, TimedOut, TooLong, Closed, Stopped };

struct Failure {
    Step step = Step::None;
    QString detail; // the relay's answer, or why the connection failed
    Trouble trouble = Trouble::Refused;
    bool loginRefused = false; // the relay refused the user name and password
    bool mayHaveGone = false;  // the relay had the whole mail; it may deliver it all the same
};

// The most a reply may hold; a relay that sends more without ending it fails the step.
constexpr int kMaxReply = 8192;
// The longest address a mail goes out with (a path of 256 octets less its brackets).
constexpr int kMaxAddress = 254;
// The wait for the answer to the final full stop (the ten minutes relays are allowed).
constexpr double kEndOfDataWait = 600.0;

// The process-wide "started" flag; StartWinsock sets it once, EndWinsock clears it and closes
// every connection that no send is using any more.
bool StartWinsock();
void EndWinsock();
bool Started();

// Dotted IPv4 text of a host name or address; "255.255.255.255" when it cannot be found.
QString ResolveHostAddress(const QString& host);

// A connection to host:port (TLS from the start when asked; peerName is the name the relay's
// certificate must carry), or -1. where gets "address:port", error why it failed.
int ConnectSocket(const QString& host, quint16 port, Security security = Security::None,
                  const QString& peerName = {}, QString* where = nullptr, QString* error = nullptr,
                  const QString& caFile = {});
// Sends the text in one piece; the bytes handed to the connection.
qint64 SendText(int socket, const QByteArray& text);
// Everything the relay sent during one wait, trimmed; "" when nothing came.
QString WaitForReply(int socket);
// One answer: a wait, and a second one when the first found nothing.
QString ReadAnswer(int socket);
// Makes an open connection secure (after the relay's go-ahead to STARTTLS).
bool StartSecure(int socket, const QString& peerName, QString* error = nullptr);
bool IsSecure(int socket);
void CloseSocket(int socket);

// Sends one mail; true when every step was answered as expected. failure (when given) says
// which step failed and what the relay answered.
bool SendMail(const Mail& mail, const Relay& relay, Failure* failure = nullptr);

// Watches the long wait after the final full stop: called with the seconds waited so far while
// the windows stay live; returning false stops the wait. An empty watch waits the whole bound.
void SetEndOfDataWatch(std::function<bool(double)> watch);

// The pieces of the dialogue, for the windows and the tests.
// A reply is complete when its last line is three digits, then a blank or nothing, then CR LF.
bool CompleteReply(const QByteArray& bytes);
// The header block, preamble, boundary, the part's own headers and the body in quoted-printable
// UTF-8, as the relay receives them before the closing boundary (lines that begin with "."
// doubled). The body decodes to exactly the text given; no line is longer than 76 octets.
QByteArray MessageText(const Mail& mail);
// Quoted-printable of the text's UTF-8, with CR LF line ends (lone CR or LF become CR LF); it
// ends in a soft line break, so the line end that follows on the wire adds nothing.
QByteArray QuotedPrintable(const QString& text);
// A subject as it goes into its header: plain when it is short printable ASCII, else RFC 2047
// words of UTF-8 folded onto lines of their own. CR and LF are taken out first.
QByteArray SubjectField(const QString& subject);
// Every lone CR or LF becomes CR LF; a line that begins with "." gets a second one.
QByteArray DotStuff(const QByteArray& text);
// CR and LF taken out (a subject).
QString OneLine(const QString& text);
// The words a failed step is told to the user with.
QString StepText(Step step);
// The sentence for a failure: the step, and how it went wrong.
QString FailureText(const Failure& failure);

} // namespace WSKSOCK
