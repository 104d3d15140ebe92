#pragma once
#include "skin/popupmenuform.h"

// The Edit menu of the macro shop; each shortcut label beside an item does what the item does.
class mnu4 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu4();
};
