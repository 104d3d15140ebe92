#pragma once
#include "mail/mailform.h"

// "&report bug": a bug report or a comment to the shop's makers.
class frmbug : public MailForm {
    Q_OBJECT
public:
    frmbug();

protected:
    WSKSOCK::Mail BuildMail() const override;
    QString SendingTitle() const override;
    void Unload() override;
};
