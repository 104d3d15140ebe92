#include "frmemail.h"

#include "core/forms.h"
#include "mail/mailkit.h"

#include <QLineEdit>
#include <QPlainTextEdit>

frmemail::frmemail()
    : MailForm("frmemail", "  &email me", "Email address + IM.", "Subject", "Body\r\n")
{
    // Named by what they hold, not by the prompt they start with.
    Text1->setAccessibleName("your email address and IM");
    Text2->setAccessibleName("subject");
}

WSKSOCK::Mail frmemail::BuildMail() const
{
    return {QString::fromLatin1(MailKit::kEmailMeSender), QString::fromLatin1(MailKit::kMakersAddress), Text2->text(),
            Text1->text() + "\r\n\r\n\r\n" + Text3->toPlainText()};
}

QString frmemail::SendingTitle() const { return "  &please wait [sending email, this may take a minute.]"; }

void frmemail::Unload() { Forms::unload<frmemail>(); }
