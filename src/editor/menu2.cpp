#include "menu2.h"

#include "chat/chatcommands.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/decorations.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/menu5.h"
#include "editor/pageedit.h"
#include "editor/pageundo.h"
#include "macroshop/macroshop.h"
#include "effects/frmfader.h"
#include "shell/links.h"
#include "skin/pushlabel.h"

menu2::menu2()
{
    setObjectName("menu2");
    setAccessibleName("Options menu of the shop");
    for (int n = 1; n <= 4; ++n) {
        onClick(addItem(QStringLiteral("&text%1").arg(n)), [this, n] { PageItem_Click(n); });
        pageCheck[n - 1] = addCheck();
    }
    onClick(addItem("&all textboxes"), [this] { AllTextboxes_Click(); });
    allCheck = addCheck();
    addSeparator();
    Label8 = addItem("&gen ascii", "Ctrl + B", &Label14);
    // The decoration hides the menu afterwards, also when the draw changed nothing.
    for (PushLabel* label : {Label8, Label14})
        connect(label, &PushLabel::clicked, this, [this] {
            Decorations::DecorateAllPages();
            hide();
        });
    onClick(addItem("&scroll"), [] { ChatCommands::ScrollAllPages(); });
    // This one sends first and closes afterwards.
    connect(addItem("&advertize"), &PushLabel::clicked, this, [this] {
        ChatCommands::AdvertizeFromMenu();
        hide();
    });
    onClick(addItem("&insert link"), [] { ChatCommands::ShowLinkDialog(); });
    onClick(addItem("&macros shop"), [] { MacroShop::OpenFromMenu(); });
    addSeparator();
    onClick(addItem("&edit handle"), [] {
        frmhandle& dialog = Forms::get<frmhandle>();
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
    });
    startupCheck = nullptr;
    onClick(addItem("&load on startup"), [this] { Links::LoadOnStartup_Click(startupCheck); });
    startupCheck = addCheck();
    onClick(addItem("&reset all to default"), [] { CommonKit::ResetSettings(true); });
    addSeparator();
    otherOptions = addItem("&other options");
    otherOptions->setMouseTracking(true);
    connect(otherOptions, &PushLabel::clicked, this, [this] { OpenOtherOptions(true); });
    connect(otherOptions, &MouseLabel::mouseMoved, this, [this] { OpenOtherOptions(false); });
    onClick(addItem("&html fader"), [] { frmfader::Open(); });
    finishLayout(2400);
}

void menu2::ApplyStartupLinkSetting()
{
    const bool on = CommonKit::Setting("LOADONSTARTUP") == "true";
    if (on)
        Links::WriteStartupLink();
    else
        Links::DeleteStartupLink();
    if (startupCheck)
        startupCheck->setVisible(on);
}

void menu2::OpenOtherOptions(bool toggle)
{
    menu5& sub = Forms::get<menu5>();
    if (sub.isVisible()) {
        if (toggle)
            sub.hide();
        return;
    }
    sub.setOpener(otherOptions);
    sub.showAt(Left() + 2220, Top() + 3750);
}

void menu2::hideEvent(QHideEvent* e)
{
    // The submenu does not outlive its menu.
    if (auto* sub = Forms::loaded<menu5>())
        sub->hide();
    PopupMenuForm::hideEvent(e);
}

bool menu2::pageChecked(int n) const { return !pageCheck[n - 1]->isHidden(); }

void menu2::setPageChecked(int n, bool shown) { pageCheck[n - 1]->setVisible(shown); }

bool menu2::allChecked() const { return !allCheck->isHidden(); }

void menu2::setAllChecked(bool shown) { allCheck->setVisible(shown); }

void menu2::checkAll()
{
    for (int n = 1; n <= 4; ++n)
        setPageChecked(n, true);
    setAllChecked(true);
    if (auto* main = Forms::loaded<frmmain>())
        main->UpdatePageEnabling();
}

void menu2::PageItem_Click(int n)
{
    frmmain& main = Forms::get<frmmain>();
    if (pageChecked(n)) {
        setAllChecked(false);
        main.pageTimer[n - 1] = false;
        setPageChecked(n, false);
    } else {
        PageUndo::Remember(main.pageTexts());
        main.clearPages();
        main.SetActivePage(n);
        setPageChecked(n, true);
        if (pageChecked(1) && pageChecked(2) && pageChecked(3) && pageChecked(4))
            setAllChecked(true);
    }
    main.UpdatePageEnabling();
    main.FocusPageInUse(n);
}

void menu2::AllTextboxes_Click()
{
    frmmain& main = Forms::get<frmmain>();
    if (allChecked()) {
        for (int n = 1; n <= 4; ++n)
            setPageChecked(n, false);
        setAllChecked(false);
        main.SetActivePage(0);
    } else {
        PageUndo::Remember(main.pageTexts());
        main.clearPages();
        setAllChecked(true);
        main.SetActivePage(1);
    }
    main.UpdatePageEnabling();
    main.FocusPageInUse();
}

bool menu2::mayHideOnFocusLoss() const
{
    const menu5* sub = Forms::loaded<menu5>();
    return !(sub && sub->isVisible());
}
