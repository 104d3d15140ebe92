#include "frmhandle.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/selectallfilter.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QLineEdit>

frmhandle::frmhandle()
{
    setObjectName("frmhandle");
    setWindowTitle("edit handle");
    setAccessibleName("edit handle");
    resize(Twips::toPixels(4800), Twips::toPixels(2040));
    Label1 = new MouseLabel(" &edit handle", this);
    place(Label1, 0, 0, 4800, 240);
    Label2 = new MouseLabel("&Please enter your handle or nickname below in the textbox.", this);
    Label2->setWordWrap(true);
    place(Label2, 240, 420, 4320, 480);
    Text1 = new QLineEdit(this);
    Text1->setAccessibleName("handle");
    Text1->setValidator(CodePage::validator(Text1));
    Text1->setFrame(false);
    place(Text1, 240, 960, 4320, 300);
    Label2->setBuddy(Text1);
    SelectAllFilter::install(Text1);
    Label3 = makeButton(Image1, "&Ok", 1080, 1500);
    Label4 = makeButton(Image3, "&Cancel", 2580, 1500);
    connect(Label3, &PushLabel::clicked, this, &frmhandle::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmhandle::Label4_Click);
    attachTitleDrag(Label1);
}

void frmhandle::Form_Load()
{
    Text1->setText(CommonKit::Setting("HANDLE"));
    ApplyDialogSkin({"frm.bmp", {Image1, Image3}, Label1, "frmtitlebar", {Label2}, {Text1}, {Label3, Label4}});
}

void frmhandle::Label3_Click()
{
    CommonKit::SetSetting("HANDLE", Text1->text().toLower());
    hide();
    frmmain& main = Forms::get<frmmain>();
    frmrect& rect = Forms::get<frmrect>();
    main.hide();
    rect.hide();
    Prompts::messageBox("Handle was changed successfully...", "GLY", Prompts::Buttons::Ok, Prompts::Icon::Critical);
    rect.show();
    main.show();
}

void frmhandle::Label4_Click() { Forms::unload<frmhandle>(); }
