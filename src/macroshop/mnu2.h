#pragma once
#include "skin/popupmenuform.h"

#include <array>

// The Options menu of the macro shop. Items by index: 0 new string, 1 widen / normal size,
// 3 scroll macro, 4 overhead scroll macro, 5 clear macro, 6 show char map, 7 macros (the
// built-in list), 9 show char map2, 10 email macros.
class mnu2 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu2();

    std::array<PushLabel*, 11> Label1{};

    void Label1_Click(int index);
    // Shows the built-in macros beside this menu.
    void ShowMacros();
    bool mayHideOnFocusLoss() const override;

protected:
    void hideEvent(QHideEvent* e) override;
};
