#include "frmrelay.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/selectallfilter.h"
#include "mail/mailrelay.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/accessiblenames.h"
#include "skin/mnemonics.h"
#include "skin/pushlabel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSslCertificate>

namespace {
const char* const kTitle = "Mail relay";

bool hasBlankOrBreak(const QString& text) { return text.contains(QRegularExpression("\\s")); }
}

frmrelay::frmrelay()
{
    setObjectName("frmrelay");
    setWindowTitle("mail relay");
    setAccessibleName("mail relay");
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel("  &mail relay", this);
    Label1->setAccessibleName("mail relay");
    place(Label1, 120, 0, 4800, 240);
    attachTitleDrag(Label1);

    auto row = [this](const QString& caption, int top, QWidget* box) {
        auto* l = new MouseLabel(caption, this);
        place(l, 240, top, 1500, 300);
        place(box, 1800, top, 3360, 300);
        Mnemonics::attachBuddy(l, box);
        box->setAccessibleName(PushLabel::plainCaption(caption));
        return l;
    };
    auto line = [this] {
        auto* b = new QLineEdit(this);
        b->setFrame(false);
        b->setValidator(CodePage::validator(b));
        SelectAllFilter::install(b);
        return b;
    };
    Text1 = line();
    Text2 = line();
    Text3 = line();
    Text4 = line();
    Text4->setEchoMode(QLineEdit::Password);
    Combo1 = new QComboBox(this);
    // Before its entries: the first change already asks for its reader interface.
    AccessibleNames::nameCombo(Combo1, "security");
    Combo1->addItems({"none", "STARTTLS", "TLS from the start"});
    Label2 = row("&host", 330, Text1);
    Label6 = row("p&ort", 690, Text2);
    Label7 = row("&user name", 1050, Text3);
    Label8 = row("pass&word", 1410, Text4);
    Label9 = row("secur&ity", 1770, Combo1);
    Text5 = line();
    Text6 = line();
    Text6->setPlaceholderText("the system's own");
    Label11 = row("your a&ddress", 2130, Text5);
    Label12 = row("CA &file", 2490, Text6);
    Label10 = new MouseLabel("An empty host means the shop's own relay.", this);
    Label10->setWordWrap(true);
    place(Label10, 240, 2820, 4920, 270);

    Label3 = makeButton(Image1, "&Ok", 1080, 3120);
    Label4 = makeButton(Image3, "&Cancel", 3180, 3120);
    connect(Label3, &PushLabel::clicked, this, &frmrelay::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmrelay::Label4_Click);
    setDialogKeys(Label3, Label4);

    const WSKSOCK::Security security = MailRelay::SecurityFromName(CommonKit::Setting("SMTPTLS"));
    Text1->setText(CommonKit::Setting("SMTPHOST").trimmed());
    Text2->setText(CommonKit::Setting("SMTPPORT").trimmed());
    Text3->setText(CommonKit::Setting("SMTPUSER").trimmed());
    Text4->setPlaceholderText("unchanged");
    Text5->setText(CommonKit::Setting("SMTPFROM").trimmed());
    Text6->setText(CommonKit::Setting("SMTPCAFILE").trimmed());
    Combo1->setCurrentIndex(int(security));
}

void frmrelay::Form_Load()
{
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image3};
    skin.title = Label1;
    skin.titleKey = "frm2titlebar";
    skin.statics = {Label2, Label6, Label7, Label8, Label9, Label10, Label11, Label12};
    skin.textBoxes = {Text1, Text2, Text3, Text4, Combo1, Text5, Text6};
    skin.buttons = {Label3, Label4};
    ApplyDialogSkin(skin);
    // The choice list draws with the button colours; it looks like the boxes beside it.
    QPalette p = Combo1->palette();
    p.setColor(QPalette::Button, p.color(QPalette::Base));
    p.setColor(QPalette::ButtonText, p.color(QPalette::Text));
    Combo1->setPalette(p);
}

void frmrelay::Label3_Click()
{
    WSKSOCK::Relay relay;
    relay.host = Text1->text().trimmed();
    relay.user = Text3->text().trimmed();
    relay.security = WSKSOCK::Security(Combo1->currentIndex());
    relay.sender = Text5->text().trimmed();
    relay.caFile = Text6->text().trimmed();
    const auto refuse = [this](const QString& text) {
        CommonKit::NotOnTop(this);
        Prompts::messageBox(text, kTitle, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        CommonKit::StayOnTop(this);
    };
    if (hasBlankOrBreak(relay.host) || hasBlankOrBreak(relay.user)) {
        refuse("The host and the user name may not hold blanks or line breaks.");
        return;
    }
    if (hasBlankOrBreak(relay.sender) || (!relay.sender.isEmpty() && !relay.sender.contains('@'))) {
        refuse("Your address must be one address, such as artfan@example.com, without blanks.");
        return;
    }
    if (!relay.user.isEmpty() && relay.sender.isEmpty() && !relay.user.contains('@')) {
        refuse("With a user name, give your own address too: a relay you log in to sends only from your address.");
        return;
    }
    if (!relay.caFile.isEmpty() && QSslCertificate::fromPath(relay.caFile, QSsl::Pem).isEmpty() &&
        QSslCertificate::fromPath(relay.caFile, QSsl::Der).isEmpty()) {
        refuse("The CA file holds no certificate that can be read: " + relay.caFile);
        return;
    }
    const QString port = Text2->text().trimmed();
    if (port.isEmpty()) {
        relay.port = MailRelay::DefaultPort(relay.security);
    } else {
        bool ok = false;
        const uint n = port.toUInt(&ok);
        if (!ok || n < 1 || n > 65535) {
            refuse("The port must be a number from 1 to 65535.");
            return;
        }
        relay.port = quint16(n);
    }
    if (!relay.user.isEmpty() && relay.security == WSKSOCK::Security::None) {
        refuse("With a user name the connection must be secure (STARTTLS or TLS), or the password would go out "
               "unencrypted.");
        return;
    }
    if (!MailRelay::Store(relay)) {
        refuse("The relay could not be kept: " + CommonKit::SettingsPath() +
               " cannot be written. Make room or make it writable, then press Ok again.");
        return;
    }
    const QString password = Text4->text();
    if (!relay.user.isEmpty() && !password.isEmpty()) {
        QString why;
        if (!MailRelay::StorePassword(relay, password, &why))
            refuse("The password was not kept in a keyring. " + why +
                   "\n\nThe shop keeps it until it closes; in each later run it asks for the password once, at the "
                   "first mail.");
    }
    Forms::unload<frmrelay>();
}

void frmrelay::Label4_Click() { Forms::unload<frmrelay>(); }
