#include "frmbug.h"

#include "core/forms.h"
#include "mail/mailkit.h"

#include <QLineEdit>
#include <QPlainTextEdit>

frmbug::frmbug()
    : MailForm("frmbug", "  &report bug and/or comment ascii", "Subject", "What part of this program has a bug.",
               "Explain this problem or send a comment, Put your im or email address here too.\r\n")
{
    // Named by what they hold, not by the prompt they start with.
    Text1->setAccessibleName("subject");
    Text2->setAccessibleName("part of the program");
}

WSKSOCK::Mail frmbug::BuildMail() const
{
    return {QString::fromLatin1(MailKit::kBugReportSender), QString::fromLatin1(MailKit::kMakersAddress), Text1->text(),
            Text2->text() + "\r\n\r\n\r\n" + Text3->toPlainText()};
}

QString frmbug::SendingTitle() const { return "  &please wait [sending bug report, this may take a minute.]"; }

void frmbug::Unload() { Forms::unload<frmbug>(); }
