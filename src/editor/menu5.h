#pragma once
#include "skin/popupmenuform.h"

// The submenu "&other options" of the Options menu: fixed scrolls, mail, the testers and the
// shop's web addresses.
class menu5 : public PopupMenuForm {
    Q_OBJECT
public:
    menu5();
};
