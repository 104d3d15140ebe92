#pragma once
#include "skin/popupmenuform.h"

// The window menu of the main window, opened by a right-button release on its title.
class menu7 : public PopupMenuForm {
    Q_OBJECT
public:
    menu7();

    PushLabel* maximizeGlyph = nullptr;

    // "&move": the platform's interactive move of the main window; the docked panels follow.
    void Move_Click();
};
