#include "promptform.h"
#include "skin/heldkeys.h"

#include "core/selectallfilter.h"
#include "platform/codepage.h"
#include "platform/onelinevalidator.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QKeyEvent>
#include <QLineEdit>

PromptForm::PromptForm(const QString& name, const QString& title, const QString& prompt, const QString& boxName)
{
    setObjectName(name);
    const QString plainTitle = PushLabel::plainCaption(title);
    setWindowTitle(plainTitle);
    setAccessibleName(plainTitle);
    resize(Twips::toPixels(4800), Twips::toPixels(2040));
    Label1 = new MouseLabel(title, this);
    place(Label1, 0, 0, 4800, 240);
    Label2 = new MouseLabel(prompt, this);
    Label2->setWordWrap(true);
    place(Label2, 240, 420, 4320, 480);
    Text1 = new QLineEdit(this);
    Text1->setAccessibleName(boxName);
    OneLineValidator::install(Text1); // the answer is stored as one settings line
    Text1->setFrame(false);
    place(Text1, 240, 960, 4320, 300);
    Label2->setBuddy(Text1);
    SelectAllFilter::install(Text1);
    Label3 = makeButton(Image1, "&Ok", 1080, 1500);
    Label4 = makeButton(Image3, "&Cancel", 2580, 1500);
    attachTitleDrag(Label1);
}

void PromptForm::keyPressEvent(QKeyEvent* e)
{
    // A held key presses its button once.
    if (HeldKeys::IsRepeat(e) && (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))
        return;
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        Label4->click();
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !(e->modifiers() & ~Qt::KeypadModifier)) {
        Label3->click();
        return;
    }
    SkinnedForm::keyPressEvent(e);
}

void PromptForm::showEvent(QShowEvent* e)
{
    SkinnedForm::showEvent(e);
    Text1->selectAll();
    Text1->setFocus();
}

void PromptForm::applyPromptSkin(const QString& folder)
{
    DialogSkin skin{"frm.bmp", {Image1, Image3}, Label1, "frmtitlebar", {Label2}, {Text1}, {Label3, Label4}};
    skin.folder = folder;
    ApplyDialogSkin(skin);
}
