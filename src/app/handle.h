#pragma once
#include "skin/promptform.h"

// The start-up window: decides between a first run and a normal start, and on a first run
// asks for the user's handle.
class handle : public PromptForm {
    Q_OBJECT
public:
    handle();
    void Form_Load();

    void Label3_Click();
    void Label4_Click();
};
