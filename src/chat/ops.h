#pragma once
#include "skin/skinnedform.h"

// The options panel docked under the indicator panel: the chat commands.
class ops : public SkinnedForm {
    Q_OBJECT
public:
    ops();
    void Form_Load();
};
