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
    : PromptForm("frmhandle", " &edit handle", "&Please enter your handle or nickname below in the textbox.", "handle")
{
    connect(Label3, &PushLabel::clicked, this, &frmhandle::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmhandle::Label4_Click);
}

void frmhandle::Form_Load()
{
    Text1->setText(CommonKit::Setting("HANDLE"));
    applyPromptSkin();
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
