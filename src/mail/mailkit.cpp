#include "mailkit.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/pageedit.h"
#include "mail/mailrelay.h"
#include "mail/mailwait.h"
#include "platform/prompts.h"

#include <QCoreApplication>

#include <memory>

namespace MailKit {

const char* const kMakersAddress = "makers@quorl.example";
const char* const kEmailMeSender = "email-me@shop.quorl.example";
const char* const kBugReportSender = "bug-report@shop.quorl.example";
const char* const kMailAsciiSender = "mail-ascii@shop.quorl.example";
const char* const kEmailMacrosSender = "email-macros@shop.quorl.example";
const char* const kSignature = "made with quorl ascii shop 1.1 - the quorl ascii shop makers say thanks";
const char* const kExampleAddresses = "artfan@example.com or pixel.moth@example.net";

namespace {

const char* const kTitle = "quorl ascii shop";

struct Typed {
    QString address, subject, message;
};

// The three questions of both input-box flows; a cancelled box is an empty answer.
Typed askThree()
{
    Typed t;
    t.address = Prompts::inputBox(
        "Please enter email address in the text box below with out spaces EX: " + QString::fromLatin1(kExampleAddresses),
        "Email Address");
    t.subject = Prompts::inputBox("Please enter a subject in the textbox below.", "Subject");
    t.message = Prompts::inputBox("Please enter a message or comment in the text box below.", "Message");
    return t;
}

QString withoutBlanks(QString address)
{
    CommonKit::ReplaceText(address, " ", "");
    return address;
}

void setVisible(const QList<QPointer<QWidget>>& windows, bool visible)
{
    for (const QPointer<QWidget>& w : windows)
        if (w)
            w->setVisible(visible);
}

// Sends until it works or the user gives up; every failure is told.
bool sendTelling(const WSKSOCK::Mail& mail, const QList<QPointer<QWidget>>& stepAside)
{
    for (;;) {
        WSKSOCK::Failure failure;
        if (Send(mail, &failure))
            return true;
        setVisible(stepAside, false);
        HideStack();
        const bool again = TellFailure(failure, true);
        ShowStack();
        setVisible(stepAside, true);
        if (!again)
            return false;
    }
}

} // namespace

void HideStack()
{
    if (auto* main = Forms::loaded<frmmain>())
        main->hide();
    if (auto* rect = Forms::loaded<frmrect>())
        rect->hide();
    if (auto* panel = Forms::loaded<ops>())
        panel->hide();
}

void ShowStack()
{
    if (auto* main = Forms::loaded<frmmain>())
        main->show();
    if (auto* rect = Forms::loaded<frmrect>()) {
        rect->show();
        if (rect->optionsOpen())
            Forms::get<ops>().show();
    }
}

QString PagesArt()
{
    QString art;
    const frmmain& main = Forms::get<frmmain>();
    for (int n = 1; n <= 4; ++n) {
        const QString page = main.page(n)->text();
        if (page.isEmpty())
            continue;
        art += page;
        if (n < 4)
            art += "\r\n";
    }
    return art;
}

QString InputBoxBody(const QString& art, const QString& message)
{
    return "\r\n\r\n" + art + "\r\n\r\n" + message + QString("\r\n").repeated(5) + QString::fromLatin1(kSignature) +
           QString("\r\n").repeated(3);
}

bool Send(const WSKSOCK::Mail& mail, WSKSOCK::Failure* failure)
{
    WSKSOCK::Failure local;
    WSKSOCK::Failure& f = failure ? *failure : local;
    // A send runs while its waits keep the windows live, so another one can be asked for meanwhile;
    // the two would share the one end-of-mail watch.
    static bool sending = false;
    if (sending) {
        f = {WSKSOCK::Step::None, QCoreApplication::translate("MailKit", "Send this one once that mail is done.")};
        return false;
    }
    struct Sending {
        Sending() { sending = true; }
        ~Sending() { sending = false; }
    } mark;
    WSKSOCK::Relay relay = MailRelay::Current();
    WSKSOCK::Mail m = mail;
    // A submission relay takes mail only from the address of the user who logged in.
    m.sender = MailRelay::SenderFor(relay, mail.sender);
    // A relay slow over the end of the mail gets a window that says so and can stop the wait.
    auto wait = std::make_unique<MailWait>();
    WSKSOCK::SetEndOfDataWatch([w = wait.get()](double waited) { return w->watch(waited); });
    struct Unwatch {
        ~Unwatch() { WSKSOCK::SetEndOfDataWatch({}); }
    } unwatch;
    // After a refused log-in the password is asked for again; a cancelled prompt ends it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!MailRelay::FillPassword(relay, attempt > 0)) {
            f = {WSKSOCK::Step::Login, QCoreApplication::translate("MailKit", "No password was given.")};
            return false;
        }
        if (WSKSOCK::SendMail(m, relay, &f)) {
            if (attempt > 0)
                MailRelay::KeepWorkingPassword(relay);
            return true;
        }
        if (!f.loginRefused)
            return false;
        MailRelay::ForgetPassword(relay);
    }
    return false;
}

bool TellFailure(const WSKSOCK::Failure& failure, bool offerRetry)
{
    QString text = QCoreApplication::translate("MailKit", "Your mail was not sent: %1.").arg(WSKSOCK::FailureText(failure));
    if (failure.mayHaveGone)
        text = QCoreApplication::translate("MailKit", "Your mail may have been sent: %1, after it had received all of "
                                                      "the mail.")
                   .arg(WSKSOCK::FailureText(failure));
    if (!failure.detail.isEmpty())
        text += "\n\n" + failure.detail.left(400);
    if (failure.step == WSKSOCK::Step::Connection || failure.step == WSKSOCK::Step::Secure ||
        failure.step == WSKSOCK::Step::Login)
        text += "\n\n" + QCoreApplication::translate("MailKit", "The mail relay can be set under \"relay\" of the email me dialog.");
    if (!offerRetry) {
        Prompts::messageBox(text, kTitle, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    text += "\n\n" + (failure.mayHaveGone
                           ? QCoreApplication::translate("MailKit", "The mail may already be on its way; sent again, it may "
                                                                  "arrive twice. Send it again anyway?")
                           : QCoreApplication::translate("MailKit", "Try again?"));
    return Prompts::messageBox(text, kTitle, Prompts::Buttons::YesNo, Prompts::Icon::Exclamation) == Prompts::Answer::Yes;
}

void MailAscii()
{
    const QString art = PagesArt();
    HideStack();
    const Typed t = askThree();
    const QString body = InputBoxBody(art, t.message);
    Prompts::messageBox("This may take a few seconds to send.", "GLY", Prompts::Buttons::Ok, Prompts::Icon::Information);
    ShowStack();
    const WSKSOCK::Mail mail{QString::fromLatin1(kMailAsciiSender), withoutBlanks(t.address), t.subject, body};
    if (sendTelling(mail, {}))
        Prompts::messageBox("SENT!", "Email Sent", Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

void EmailMacros(const QString& macro, const QList<QPointer<QWidget>>& shopWindows)
{
    setVisible(shopWindows, false);
    HideStack();
    const Typed t = askThree();
    const QString body = InputBoxBody(macro, t.message);
    Prompts::messageBox("This may take a few seconds to send.", "GLY", Prompts::Buttons::Ok, Prompts::Icon::Information);
    ShowStack();
    setVisible(shopWindows, true);
    const WSKSOCK::Mail mail{QString::fromLatin1(kEmailMacrosSender), withoutBlanks(t.address), t.subject, body};
    const bool sent = sendTelling(mail, shopWindows);
    setVisible(shopWindows, false);
    if (sent)
        Prompts::messageBox("SENT!", "Email Sent", Prompts::Buttons::Ok, Prompts::Icon::Critical);
    setVisible(shopWindows, true);
}

} // namespace MailKit
