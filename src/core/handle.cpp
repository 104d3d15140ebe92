#include "handle.h"

#include "core/commonkit.h"
#include "core/extract.h"
#include "core/forms.h"
#include "core/startup.h"
#include "core/selectallfilter.h"
#include "platform/codepage.h"
#include "platform/process.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QFile>
#include <QLineEdit>

handle::handle()
{
    setObjectName("handle");
    setWindowTitle("quorl ascii shop");
    setAccessibleName("quorl ascii shop");
    resize(Twips::toPixels(4800), Twips::toPixels(2040));
    Label1 = new MouseLabel("    &quorl ascii shop beta", this);
    place(Label1, 0, 0, 4800, 240);
    Label2 = new MouseLabel("&Please enter your handle or nickname in the textbox below.", this);
    Label2->setWordWrap(true);
    place(Label2, 240, 420, 4320, 480);
    Text1 = new QLineEdit("handle", this);
    Text1->setAccessibleName("handle");
    Text1->setValidator(CodePage::validator(Text1));
    Text1->setFrame(false);
    place(Text1, 240, 960, 4320, 300);
    Label2->setBuddy(Text1);
    SelectAllFilter::install(Text1);
    Label3 = makeButton(Image1, "&Ok", 1080, 1500);
    Label4 = makeButton(Image3, "&Cancel", 2580, 1500);
    connect(Label3, &PushLabel::clicked, this, &handle::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &handle::Label4_Click);
    attachTitleDrag(Label1);
}

void handle::Form_Load()
{
    if (!QFile::exists(CommonKit::SettingsPath()))
        CommonKit::ResetSettings();
    // The handle dialog has its own fixed picture: the default skin's, whatever SKIN says.
    DialogSkin skin{"frm.bmp", {Image1, Image3}, Label1, "frmtitlebar", {Label2}, {Text1}, {Label3, Label4}};
    skin.folder = SkinFolder::DefaultFolder();
    ApplyDialogSkin(skin);
    if (CommonKit::Setting("HANDLE") != "unknown") {
        hide();
        Startup::OpenMainWindow();
        return;
    }
    show();
    Text1->setFocus();
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
