#pragma once
#include "skin/popupmenuform.h"

// The Help menu of the main window.
class menu4 : public PopupMenuForm {
    Q_OBJECT
public:
    menu4();
};
