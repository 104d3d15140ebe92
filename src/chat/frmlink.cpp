#include "frmlink.h"
#include "skin/heldkeys.h"

#include "chat/makelink.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/selectallfilter.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

frmlink::frmlink()
{
    setObjectName("frmlink");
    setAccessibleName("insert a link");
    setWindowTitle("insert a link");
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel("  &insert a link", this);
    Label1->setAccessibleName("insert a link");
    place(Label1, 120, 0, 4800, 300);
    attachTitleDrag(Label1);

    auto box = [this](const QString& text, const QString& name, int top) {
        auto* b = new QLineEdit(text, this);
        b->setAccessibleName(name);
        b->setFrame(false);
        b->setValidator(CodePage::validator(b));
        SelectAllFilter::install(b);
        place(b, 360, top, 4680, 330);
        return b;
    };
    Text1 = box("Url", "web address", 780);
    Text2 = box("Text to link", "text to link", 1380);
    Text3 = box(QString(), "link", 1980);

    Label3 = makeButton(Image1, "&Ok", 1320, 2850);
    Label4 = makeButton(Image3, "&Cancel", 2940, 2850);
    connect(Label3, &PushLabel::clicked, this, &frmlink::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmlink::Label4_Click);
}

void frmlink::Form_Load()
{
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image3};
    skin.title = Label1;
    skin.titleKey = "frmtitlebar";
    skin.textBoxes = {Text1, Text2, Text3};
    skin.buttons = {Label3, Label4};
    ApplyDialogSkin(skin);
}

void frmlink::Label3_Click()
{
    Text3->setText(CommonKit::MakeLink(Text2->text(), Text1->text()));
    QApplication::clipboard()->setText(Text3->text());
    // The message box would sit under this topmost dialog.
    CommonKit::NotOnTop(this);
    Prompts::messageBox("Your link has been copies to your clip board", "Link", Prompts::Buttons::Ok,
                        Prompts::Icon::Information);
    CommonKit::StayOnTop(this);
}

void frmlink::Label4_Click() { Forms::unload<frmlink>(); }

void frmlink::keyPressEvent(QKeyEvent* e)
{
    // A held key presses its button once.
    if (HeldKeys::IsRepeat(e) && (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))
        return;
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier)
        Label4->click();
    else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !(e->modifiers() & ~Qt::KeypadModifier))
        Label3->click();
    else
        SkinnedForm::keyPressEvent(e);
}
