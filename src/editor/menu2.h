#pragma once
#include "skin/popupmenuform.h"

#include <array>

// The Options menu of the main window: pages in use, decorations, chat commands and settings.
class menu2 : public PopupMenuForm {
    Q_OBJECT
public:
    menu2();

    // The check marks beside "&text1".."&text4" and "&all textboxes".
    std::array<PushLabel*, 4> pageCheck{};
    PushLabel* allCheck = nullptr;
    PushLabel* startupCheck = nullptr; // beside "&load on startup"
    // Writes or deletes the start-up link as LOADONSTARTUP says and shows the check.
    void ApplyStartupLinkSetting();
    PushLabel* Label8 = nullptr;       // "&gen ascii"
    PushLabel* Label14 = nullptr;      // its hint "Ctrl + B"
    PushLabel* otherOptions = nullptr; // "&other options", opens menu5

    bool pageChecked(int n) const;
    void setPageChecked(int n, bool shown);
    bool allChecked() const;
    void setAllChecked(bool shown);
    // Shows all five checks (a start-up that found a page file, an art file opened).
    void checkAll();

    // "&text1".."&text4" and "&all textboxes".
    void PageItem_Click(int n);
    void AllTextboxes_Click();

    // The submenu beside "&other options"; a click toggles it, hovering only opens it.
    void OpenOtherOptions(bool toggle);

    bool mayHideOnFocusLoss() const override;

protected:
    void hideEvent(QHideEvent* e) override;
};
