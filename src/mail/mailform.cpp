#include "mailform.h"

#include "core/forms.h"
#include "core/selectallfilter.h"
#include "mail/frmrelay.h"
#include "mail/mailkit.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/accessiblenames.h"
#include "skin/pushlabel.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

// The message box holds only what Windows-1252 can hold, as the one-line boxes do.
void keepEncodable(QPlainTextEdit* box)
{
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box] {
        const QString text = box->toPlainText();
        if (CodePage::canEncode(text))
            return;
        QTextCursor c = box->textCursor();
        const int before = c.position();
        const int dropped = int(text.left(before).size() - CodePage::encodable(text.left(before)).size());
        box->setPlainText(CodePage::encodable(text));
        c = box->textCursor();
        c.setPosition(before - dropped);
        box->setTextCursor(c);
    });
}

} // namespace

MailForm::MailForm(const QString& name, const QString& title, const QString& text1, const QString& text2,
                   const QString& text3)
    : title_(title)
{
    setObjectName(name);
    const QString plain = PushLabel::plainCaption(title).trimmed();
    setWindowTitle(plain);
    setAccessibleName(plain);
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel(title, this);
    Label1->setAccessibleName(plain);
    place(Label1, 120, 0, 4800, 240);
    attachTitleDrag(Label1);
    connect(Label1, &MouseLabel::doubleClicked, this, &MailForm::Label1_DblClick);

    auto line = [this](const QString& text, int top) {
        auto* b = new QLineEdit(text, this);
        b->setAccessibleName(text);
        b->setFrame(false);
        b->setValidator(CodePage::validator(b));
        SelectAllFilter::install(b);
        place(b, 240, top, 4920, 300);
        return b;
    };
    Text1 = line(text1, 420);
    Text2 = line(text2, 840);
    Text3 = new QPlainTextEdit(this);
    Text3->setPlainText(QString(text3).replace("\r\n", "\n"));
    Text3->setAccessibleName("message");
    Text3->setFrameShape(QFrame::NoFrame);
    Text3->setTabChangesFocus(true);
    keepEncodable(Text3);
    place(Text3, 240, 1260, 4920, 1680);
    AccessibleNames::nameScrollBars(Text3, "message");

    Label3 = makeButton(Image1, "&Send", 300, 3120);
    Label5 = makeButton(Image2, "&relay", 2130, 3120);
    Label4 = makeButton(Image3, "&Cancel", 3960, 3120);
    connect(Label3, &PushLabel::clicked, this, &MailForm::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &MailForm::Label4_Click);
    connect(Label5, &PushLabel::clicked, this, &MailForm::Label5_Click);
    // Enter in the message box is a new line; elsewhere it sends.
    setDialogKeys(Label3, Label4);
}

void MailForm::Form_Load()
{
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image2, Image3};
    skin.title = Label1;
    skin.titleKey = "frm2titlebar";
    skin.textBoxes = {Text1, Text2, Text3};
    skin.buttons = {Label3, Label4, Label5};
    ApplyDialogSkin(skin);
}

void MailForm::Label1_DblClick() { setVisible(false); }

void MailForm::setSending(bool sending)
{
    sending_ = sending;
    if (sending)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                       static_cast<QWidget*>(Text3)})
        w->setEnabled(!sending);
    Label1->setCaption(sending ? SendingTitle() : title_);
}

void MailForm::Label3_Click()
{
    // The mnemonic reaches a disabled label too; one send at a time.
    if (sending_)
        return;
    setSending(true);
    hide();
    Prompts::messageBox("This shouldnt take over 35 seconds. Double click the titlebar to hide this form while it is sending.",
                        "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Information);
    show();
    WSKSOCK::EndWinsock();
    const WSKSOCK::Mail mail = BuildMail();
    // The waits let the user work on; "&Cancel" may unload this dialog meanwhile.
    QPointer<MailForm> self = this;
    WSKSOCK::Failure failure;
    const bool sent = MailKit::Send(mail, &failure);
    WSKSOCK::EndWinsock();
    if (self)
        hide();
    MailKit::HideStack();
    if (sent) {
        Prompts::messageBox("Your message has been sent.", "quorl ascii shop", Prompts::Buttons::Ok,
                            Prompts::Icon::Information);
        if (self)
            Unload();
        MailKit::ShowStack();
        return;
    }
    // The texts stay so the user can try again.
    MailKit::TellFailure(failure, false);
    MailKit::ShowStack();
    if (self) {
        setSending(false);
        show();
    }
}

void MailForm::Label4_Click() { Unload(); }

void MailForm::Label5_Click()
{
    frmrelay& relay = Forms::get<frmrelay>();
    relay.show();
    relay.raise();
    relay.activateWindow();
}
