#pragma once
#include "skin/popupmenuform.h"

// The Help menu of the macro shop.
class mnu5 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu5();
};
