#pragma once
#include "skin/popupmenuform.h"

// The window menu of the macro shop, opened by the right button on its title.
class mnu6 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu6();

    PushLabel* maximizeGlyph = nullptr;

    // "&move": the platform's interactive move of the macro shop.
    void Move_Click();
};
