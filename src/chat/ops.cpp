#include "ops.h"

#include "chat/banners.h"
#include "chat/chatcommands.h"
#include "chat/chatops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/frmsetascii.h"
#include "editor/pageedit.h"
#include "macroshop/macroshop.h"
#include "mail/frmemail.h"
#include "mail/mailkit.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QEvent>

namespace {
// Three columns of four buttons, 76 x 20 px on a grid of 80 x 24 px from 6, 6 px.
constexpr int kFirst = 90;
constexpr int kStepX = 1200;
constexpr int kStepY = 360;
constexpr int kButtonWidth = 1140;
constexpr int kButtonHeight = 300;
}

ops::ops()
{
    setObjectName("ops");
    // A panel of the main window: no task-bar entry, no place in the window switcher.
    setToolWindowOf([]() -> QWidget* { return Forms::loaded<frmmain>(); });
    setAccessibleName("options");
    resize(Twips::toPixels(3720), Twips::toPixels(1560));

    static const char* const captions[12] = {
        "&scroll ascii", "&advertize", "&macro shop", "&lock boxes", "&mail ascii", "&kill wait",
        "&upchat on",    "&pr gly",    "&email me",   "&im me",      "&set ascii",  "&close",
    };
    for (int i = 0; i < 12; ++i) {
        labels_[i] = makeButton(images_[i], QString::fromUtf8(captions[i]), kFirst + (i % 3) * kStepX,
                                kFirst + (i / 3) * kStepY, kButtonWidth, kButtonHeight);
        images_[i]->installEventFilter(this);
        connect(labels_[i], &MouseLabel::mousePressed, this, &ops::BringStackOnTop);
    }
    Image1 = images_[0]; Image2 = images_[1]; Image3 = images_[2]; Image4 = images_[3];
    Image5 = images_[4]; Image6 = images_[5]; Image7 = images_[6]; Image8 = images_[7];
    Image9 = images_[8]; Image10 = images_[9]; Image11 = images_[10]; Image12 = images_[11];
    Label1 = labels_[0]; Label2 = labels_[1]; Label3 = labels_[2]; Label4 = labels_[3];
    Label5 = labels_[4]; Label6 = labels_[5]; Label7 = labels_[6]; Label8 = labels_[7];
    Label9 = labels_[8]; Label10 = labels_[9]; Label11 = labels_[10]; Label12 = labels_[11];

    connect(Label1, &PushLabel::clicked, this, &ops::Label1_Click);
    connect(Label2, &PushLabel::clicked, this, &ops::Label2_Click);
    connect(Label3, &PushLabel::clicked, this, &ops::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &ops::Label4_Click);
    connect(Label5, &PushLabel::clicked, this, &ops::Label5_Click);
    connect(Label6, &PushLabel::clicked, this, &ops::Label6_Click);
    connect(Label7, &PushLabel::clicked, this, &ops::Label7_Click);
    connect(Label11, &PushLabel::clicked, this, &ops::Label11_Click);
    connect(Label12, &PushLabel::clicked, this, &ops::Label12_Click);
    // These act on the press itself; the keyboard and assistive technology press them too.
    connect(Label8, &MouseLabel::mousePressed, this, &ops::Label8_MouseDown);
    connect(Label9, &MouseLabel::mousePressed, this, &ops::Label9_MouseDown);
    connect(Label10, &MouseLabel::mousePressed, this, &ops::Label10_MouseDown);
    Label8->setPressAction([this] { BringStackOnTop(); Label8_MouseDown(); });
    Label9->setPressAction([this] { BringStackOnTop(); Label9_MouseDown(); });
    Label10->setPressAction([this] { BringStackOnTop(); Label10_MouseDown(); });
}

void ops::Form_Load()
{
    DialogSkin skin;
    skin.background = "ops.bmp";
    skin.buttonImages = {images_.begin(), images_.end()};
    skin.buttons = {labels_.begin(), labels_.end()};
    // The panel docks under the indicator; it is never centred.
    skin.centre = false;
    ApplyDialogSkin(skin);
}

void ops::BringStackOnTop()
{
    CommonKit::StayOnTop(this);
    CommonKit::StayOnTop(&Forms::get<frmrect>());
    CommonKit::StayOnTop(&Forms::get<frmmain>());
}

bool ops::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
        for (QLabel* image : images_)
            if (watched == image)
                BringStackOnTop();
    return SkinnedForm::eventFilter(watched, e);
}

void ops::Label1_Click() { ChatCommands::ScrollAllPages(); }

void ops::Label2_Click() { ChatCommands::AdvertizeFromPanel(); }

void ops::Label3_Click()
{
    // The banner carries its own 0.1 s wait.
    MacroShop::OpenFromPanel();
}

void ops::Label4_Click()
{
    const bool lock = Label4->caption() == "&lock boxes";
    frmmain& main = Forms::get<frmmain>();
    for (int n = 1; n <= 4; ++n)
        main.page(n)->setReadOnly(lock);
    Label4->setCaption(lock ? "&unlock" : "&lock boxes");
}

void ops::Label5_Click() { MailKit::MailAscii(); }

void ops::Label6_Click() { ChatCommands::KillWait(); }

void ops::Label7_Click()
{
    if (Label7->caption() == "&upchat on") {
        CommonKit::SetUpchat(true);
        Label7->setCaption("&upchat off");
    } else {
        Label7->setCaption("&upchat on");
        CommonKit::SetUpchat(false);
    }
}

void ops::Label8_MouseDown() { ChatCommands::PrGly(); }

void ops::Label9_MouseDown() { Forms::get<frmemail>().show(); }

void ops::Label10_MouseDown() { ChatCommands::ImMe("sup"); }

void ops::Label11_Click()
{
    frmsetascii& dialog = Forms::get<frmsetascii>();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

// Quit sends the panel's unload banner itself.
void ops::Label12_Click() { Lifecycle::Quit(Lifecycle::QuitCommand::OptionsPanel); }
