#pragma once
#include "mail/wsksock.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

// What the four places that mail share: the fixed addresses and texts, the send through the
// user's relay with a clear word when it fails, and the two input-box flows.
namespace MailKit {

// The fixed values of the shop (all of them ours).
extern const char* const kMakersAddress;
extern const char* const kEmailMeSender;
extern const char* const kBugReportSender;
extern const char* const kMailAsciiSender;
extern const char* const kEmailMacrosSender;
extern const char* const kSignature;
extern const char* const kExampleAddresses;

// The main window and the indicator step aside for a box, and come back (the options panel only
// when the indicator records it as open).
void HideStack();
void ShowStack();

// The art of the pages: each non-empty page, the first three followed by CR LF.
QString PagesArt();
// The body of the input-box mails around the art or the macro.
QString InputBoxBody(const QString& art, const QString& message);

// Sends through the current relay, asking for its password when it needs one.
bool Send(const WSKSOCK::Mail& mail, WSKSOCK::Failure* failure = nullptr);
// The box that says a send failed and at which step; with retry the user may answer Yes to
// send again.
bool TellFailure(const WSKSOCK::Failure& failure, bool offerRetry);

// "&mail ascii" of the options panel: the pages to an address the user types.
void MailAscii();
// "&email macros" of the macro shop: the macro to an address the user types. The macro shop's
// windows (the editor and its character map) step aside with the stack and come back.
void EmailMacros(const QString& macro, const QList<QPointer<QWidget>>& shopWindows = {});

} // namespace MailKit
