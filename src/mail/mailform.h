#pragma once
#include "mail/wsksock.h"
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The e-mail and bug-report dialogs share their look and their send: a title, two one-line
// boxes, the message box, "&Send", "&Cancel" and "&relay" (the relay dialog).
class MailForm : public SkinnedForm {
    Q_OBJECT
public:
    MouseLabel* Label1;   // title; a double-click hides the dialog while it sends
    QLineEdit* Text1;
    QLineEdit* Text2;
    QPlainTextEdit* Text3; // the message
    PushLabel* Label3;    // "&Send"
    PushLabel* Label4;    // "&Cancel"
    PushLabel* Label5;    // "&relay"
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;

    void Form_Load();
    void Label1_DblClick();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();

    // True while a send runs.
    bool sending() const { return sending_; }

protected:
    MailForm(const QString& name, const QString& title, const QString& text1, const QString& text2,
             const QString& text3);
    // The mail the dialog's texts make, the caption shown while it sends, and its own unload.
    virtual WSKSOCK::Mail BuildMail() const = 0;
    virtual QString SendingTitle() const = 0;
    virtual void Unload() = 0;

private:
    void setSending(bool sending);
    QString title_;
    bool sending_ = false;
};
