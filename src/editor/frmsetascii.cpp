#include "frmsetascii.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "platform/prompts.h"
#include "skin/pushlabel.h"

#include <QLineEdit>

frmsetascii::frmsetascii()
    : PromptForm("frmsetascii", " &set ascii",
                 "&Please type or paste the new ascii you want to use for this program.", "ascii")
{
    connect(Label3, &PushLabel::clicked, this, &frmsetascii::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmsetascii::Label4_Click);
}

void frmsetascii::Form_Load()
{
    Text1->setText(CommonKit::Setting("ASCII"));
    applyPromptSkin();
}

QString frmsetascii::ChangedMessage(const QString& oldValue, const QString& newValue)
{
    return "Ascii was changed from ' " + oldValue + " ' to ' " + newValue + " '  Successfully...";
}

void frmsetascii::Label3_Click()
{
    const QString oldValue = CommonKit::Setting("ASCII");
    // The settings file holds one line per key; a line break would cut the ornament short.
    QString newValue = Text1->text();
    newValue.remove('\r');
    newValue.remove('\n');
    hide();
    frmmain& main = Forms::get<frmmain>();
    frmrect& rect = Forms::get<frmrect>();
    main.hide();
    rect.hide();
    if (auto* o = Forms::loaded<ops>(); o && o->isVisible())
        o->hide();
    Prompts::messageBox(ChangedMessage(oldValue, newValue), "GLY", Prompts::Buttons::Ok, Prompts::Icon::Critical);
    if (!CommonKit::WriteIni("quorl", "ASCII", newValue, CommonKit::SettingsPath()))
        Prompts::messageBox("The ascii could not be saved in " + CommonKit::SettingsPath() + ".", "GLY",
                            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    if (rect.optionsOpen())
        Forms::get<ops>().show();
    rect.show();
    main.show();
}

void frmsetascii::Label4_Click() { Forms::unload<frmsetascii>(); }
