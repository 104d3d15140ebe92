#pragma once
#include "skin/popupmenuform.h"

// The Edit menu of the main window; each shortcut hint is itself clickable.
class menu3 : public PopupMenuForm {
    Q_OBJECT
public:
    menu3();
};
