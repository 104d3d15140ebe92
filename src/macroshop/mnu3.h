#pragma once
#include "skin/popupmenuform.h"

#include <array>

// The Strings menu of the macro shop: the thirteen stored strings (labels 0..12, their captions
// are the strings) and their key hints (labels 13..25, "F1".."ESC").
class mnu3 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu3();

    std::array<PushLabel*, 26> Label1{};

    // The slots from the per-user store.
    void LoadStrings();
    QString slotString(int slot) const;
    QStringList slotStrings() const;
    void setSlotStrings(const QStringList& strings);
    void Label1_Click(int index);
};
