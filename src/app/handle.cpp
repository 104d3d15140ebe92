#include "handle.h"

#include "core/commonkit.h"
#include "app/extract.h"
#include "core/forms.h"
#include "app/startup.h"
#include "core/selectallfilter.h"
#include "platform/codepage.h"
#include "platform/process.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QFile>
#include <QLineEdit>

handle::handle()
    : PromptForm("handle", "    &quorl ascii shop beta", "&Please enter your handle or nickname in the textbox below.", "handle")
{
    Text1->setText("handle");
    connect(Label3, &PushLabel::clicked, this, &handle::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &handle::Label4_Click);
}

void handle::Form_Load()
{
    // The handle dialog has its own fixed picture: the default skin's, whatever SKIN says.
    applyPromptSkin(SkinFolder::DefaultFolder());
}

void handle::Label3_Click()
{
    CommonKit::SetSetting("HANDLE", Text1->text().toLower());
    hide();
    Forms::get<extract>().show();
}

void handle::Label4_Click()
{
    QFile::remove(CommonKit::SettingsPath());
    CommonKit::Pause(0.1);
    Process::end();
}
