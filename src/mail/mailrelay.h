#pragma once
#include "mail/wsksock.h"

#include <QString>

// The relay every mail goes through: the shop's fixed one, or the user's own (host, port, user
// name, the user's own address, security and a certificate file kept in the settings file, the
// password in the desktop's keyring).
// QUORL_SMTP_RELAY and QUORL_SMTP_PORT override host and port.
namespace MailRelay {

// The relay as the settings and the environment say; the password is not filled in.
WSKSOCK::Relay Current();
// The relay as the settings file alone says (what the relay dialog shows).
WSKSOCK::Relay Stored();
// Writes host, port, user name and security; the password is not written there. False when the
// settings file could not be written.
bool Store(const WSKSOCK::Relay& relay);

// "none", "starttls", "tls" and back; anything else is none.
QString SecurityName(WSKSOCK::Security security);
WSKSOCK::Security SecurityFromName(const QString& name);
// The usual port of each kind of security.
quint16 DefaultPort(WSKSOCK::Security security);

// Puts the password into the relay when it has a user name: what was typed earlier in this run,
// else the keyring's, else asked for. After a refused log-in (refused) it is asked for again,
// saying so. False when none could be had (the user cancelled).
bool FillPassword(WSKSOCK::Relay& relay, bool refused = false);
// After a log-in that the relay took with a password typed in place of the keyring's, which it
// had refused: the keyring gets the one that worked, so later runs do not try the old one first.
void KeepWorkingPassword(const WSKSOCK::Relay& relay);
// Forgets what this run keeps for the relay's user (after the relay refused it).
void ForgetPassword(const WSKSOCK::Relay& relay);
// The sender a mail goes out with: the user's own address after a log-in, else the shop's.
QString SenderFor(const WSKSOCK::Relay& relay, const QString& shopSender);
// Keeps the password in the keyring; when no keyring answers it is kept for this run only and the
// result is false, with why.
bool StorePassword(const WSKSOCK::Relay& relay, const QString& password, QString* why = nullptr);
// Forgets what this run keeps (tests).
void ForgetPasswords();

} // namespace MailRelay
