#pragma once
#include "mail/mailform.h"

// "&email me": a message to the shop's makers; the user's own address goes into the text.
class frmemail : public MailForm {
    Q_OBJECT
public:
    frmemail();

protected:
    WSKSOCK::Mail BuildMail() const override;
    QString SendingTitle() const override;
    void Unload() override;
};
