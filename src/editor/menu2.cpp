#include "menu2.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/startup.h"
#include "editor/frmmain.h"
#include "skin/pushlabel.h"

menu2::menu2()
{
    setObjectName("menu2");
    setAccessibleName("Options");
    auto action = [this](PushLabel* item, auto&& run) {
        connect(item, &PushLabel::clicked, this, [this, run] {
            hide();
            run();
        });
    };
    for (int n = 1; n <= 4; ++n) {
        action(addItem(QStringLiteral("&text%1").arg(n)), [this, n] { PageItem_Click(n); });
        pageCheck[n - 1] = addCheck();
    }
    action(addItem("&all textboxes"), [this] { AllTextboxes_Click(); });
    allCheck = addCheck();
    addSeparator();
    Label8 = addItem("&gen ascii", "Ctrl + B", &Label14);
    addItem("&scroll");
    addItem("&advertize");
    addItem("&insert link");
    addSeparator();
    addItem("&edit handle");
    startupCheck = nullptr;
    action(addItem("&load on startup"), [this] {
        const bool on = startupCheck->isHidden();
        CommonKit::SetSetting("LOADONSTARTUP", on ? "true" : "false");
        Startup::ApplyStartupLinkSetting();
    });
    startupCheck = addCheck();
    action(addItem("&reset all to default"), [] { CommonKit::ResetSettings(true); });
    finishLayout(2400);
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
        main.clearPages();
        main.SetActivePage(n);
        setPageChecked(n, true);
        if (pageChecked(1) && pageChecked(2) && pageChecked(3) && pageChecked(4))
            setAllChecked(true);
    }
    main.UpdatePageEnabling();
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
        main.clearPages();
        setAllChecked(true);
        main.SetActivePage(1);
    }
    main.UpdatePageEnabling();
}

bool menu2::mayHideOnFocusLoss() const { return true; }
