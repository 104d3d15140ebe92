#pragma once
#include "skin/popupmenuform.h"

#include <array>

// The built-in macros: a click loads the macro file of the item into the editor.
class mnu18 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu18();

    static constexpr int kCount = 18;
    std::array<PushLabel*, kCount> Label1{};
    static QString Caption(int index);

    void Label1_Click(int index);
};
