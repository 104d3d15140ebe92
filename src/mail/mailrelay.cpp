#include "mailrelay.h"

#include "core/commonkit.h"
#include "platform/clock.h"
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QHash>
#include <qt6keychain/keychain.h>

namespace MailRelay {

namespace {

// The shop's own relay: the mail system of the machine the shop runs on.
const char* const kFixedHost = "localhost";
constexpr quint16 kFixedPort = 25;
const char* const kKeyringService = "quorl ascii shop";
// A keyring that has not answered by then counts as none.
constexpr double kKeyringWait = 5.0;

QHash<QString, QString>& typedThisRun()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

// Keyed by the relay as stored, so an address given by the environment finds the same password.
QString keyFor(const WSKSOCK::Relay& relay)
{
    const WSKSOCK::Relay stored = Stored();
    return "smtp:" + relay.user + '@' + stored.host + ':' + QString::number(stored.port);
}

quint16 portOf(const QString& text, quint16 fallback)
{
    bool ok = false;
    const uint n = text.trimmed().toUInt(&ok);
    return ok && n >= 1 && n <= 65535 ? quint16(n) : fallback;
}

// True when the session bus has no keyring on it (running or startable): the usual cause of a
// keyring job's bare "Unknown error".
bool keyringMissing()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return true;
    const QStringList names = bus.interface()->registeredServiceNames().value() +
                              bus.interface()->activatableServiceNames().value();
    for (const char* keyring : {"org.freedesktop.secrets", "org.kde.kwalletd5", "org.kde.kwalletd6"})
        if (names.contains(QLatin1String(keyring)))
            return false;
    return true;
}

// Runs one keyring job and waits for its answer; false when it failed or did not answer.
// The job deletes itself once it has answered; a read's password comes back in secret.
bool runJob(QKeychain::Job* job, QString* why, QString* secret = nullptr)
{
    QObject context;
    bool finished = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
    QObject::connect(job, &QKeychain::Job::finished, &context, [&](QKeychain::Job* j) {
        finished = true;
        error = j->error();
        text = j->errorString();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(j); read && secret)
            *secret = read->textData();
    });
    job->start();
    Clock::waitFor(kKeyringWait, [&] { return finished; });
    if (!finished) {
        if (why)
            *why = QCoreApplication::translate("MailRelay", "The keyring did not answer.");
        return false;
    }
    if (error != QKeychain::NoError && why)
        *why = keyringMissing() ? QCoreApplication::translate("MailRelay", "No Secret Service is running on this desktop, "
                                                                          "so there is no keyring to keep it in.")
                                : QCoreApplication::translate("MailRelay", "The keyring said: %1.").arg(text);
    return error == QKeychain::NoError;
}

} // namespace

WSKSOCK::Relay Stored()
{
    WSKSOCK::Relay relay;
    relay.host = CommonKit::Setting("SMTPHOST").trimmed();
    relay.security = SecurityFromName(CommonKit::Setting("SMTPTLS"));
    relay.port = portOf(CommonKit::Setting("SMTPPORT"), DefaultPort(relay.security));
    relay.user = CommonKit::Setting("SMTPUSER").trimmed();
    relay.sender = CommonKit::Setting("SMTPFROM").trimmed();
    relay.caFile = CommonKit::Setting("SMTPCAFILE").trimmed();
    if (relay.host.isEmpty()) {
        relay = {};
        relay.host = QString::fromLatin1(kFixedHost);
        relay.port = kFixedPort;
    }
    return relay;
}

WSKSOCK::Relay Current()
{
    WSKSOCK::Relay relay = Stored();
    const QString host = qEnvironmentVariable("QUORL_SMTP_RELAY").trimmed();
    if (!host.isEmpty())
        relay.host = host;
    const QString port = qEnvironmentVariable("QUORL_SMTP_PORT");
    if (!port.trimmed().isEmpty())
        relay.port = portOf(port, relay.port);
    return relay;
}

bool Store(const WSKSOCK::Relay& relay)
{
    bool ok = CommonKit::SetSetting("SMTPHOST", relay.host.trimmed());
    ok = CommonKit::SetSetting("SMTPPORT", QString::number(relay.port)) && ok;
    ok = CommonKit::SetSetting("SMTPUSER", relay.user.trimmed()) && ok;
    ok = CommonKit::SetSetting("SMTPTLS", SecurityName(relay.security)) && ok;
    ok = CommonKit::SetSetting("SMTPFROM", relay.sender.trimmed()) && ok;
    ok = CommonKit::SetSetting("SMTPCAFILE", relay.caFile.trimmed()) && ok;
    return ok;
}

QString SecurityName(WSKSOCK::Security security)
{
    switch (security) {
    case WSKSOCK::Security::StartTls: return QStringLiteral("starttls");
    case WSKSOCK::Security::Tls: return QStringLiteral("tls");
    case WSKSOCK::Security::None: break;
    }
    return QStringLiteral("none");
}

WSKSOCK::Security SecurityFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == "starttls")
        return WSKSOCK::Security::StartTls;
    if (n == "tls")
        return WSKSOCK::Security::Tls;
    return WSKSOCK::Security::None;
}

quint16 DefaultPort(WSKSOCK::Security security)
{
    switch (security) {
    case WSKSOCK::Security::StartTls: return 587;
    case WSKSOCK::Security::Tls: return 465;
    case WSKSOCK::Security::None: break;
    }
    return 25;
}

bool FillPassword(WSKSOCK::Relay& relay, bool refused)
{
    if (relay.user.isEmpty())
        return true;
    const QString key = keyFor(relay);
    if (!refused) {
        // What the user typed in this run comes first: it may mend a keyring's stale password.
        if (const auto it = typedThisRun().constFind(key); it != typedThisRun().constEnd()) {
            relay.password = *it;
            return true;
        }
        auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(kKeyringService));
        job->setKey(key);
        QString stored;
        if (runJob(job, nullptr, &stored) && !stored.isEmpty()) {
            relay.password = stored;
            return true;
        }
    }
    QString prompt = QCoreApplication::translate("MailRelay", "Password of %1 at the mail relay %2:").arg(relay.user, relay.host);
    if (refused)
        prompt = QCoreApplication::translate("MailRelay", "The mail relay refused the password. ") + prompt;
    relay.password = Prompts::passwordBox(prompt, QStringLiteral("Mail relay"));
    if (relay.password.isEmpty())
        return false;
    typedThisRun().insert(key, relay.password);
    return true;
}

void KeepWorkingPassword(const WSKSOCK::Relay& relay)
{
    if (relay.user.isEmpty() || relay.password.isEmpty())
        return;
    auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(kKeyringService));
    job->setKey(keyFor(relay));
    QString stored;
    if (runJob(job, nullptr, &stored) && !stored.isEmpty() && stored != relay.password)
        StorePassword(relay, relay.password);
}

void ForgetPassword(const WSKSOCK::Relay& relay) { typedThisRun().remove(keyFor(relay)); }

QString SenderFor(const WSKSOCK::Relay& relay, const QString& shopSender)
{
    if (relay.user.isEmpty())
        return shopSender;
    if (!relay.sender.isEmpty())
        return relay.sender;
    // A user name that is an address is the user's own address.
    return relay.user.contains('@') ? relay.user : shopSender;
}

bool StorePassword(const WSKSOCK::Relay& relay, const QString& password, QString* why)
{
    const QString key = keyFor(relay);
    typedThisRun().insert(key, password);
    auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(kKeyringService));
    job->setKey(key);
    job->setTextData(password);
    return runJob(job, why);
}

void ForgetPasswords() { typedThisRun().clear(); }

} // namespace MailRelay
