#pragma once
#include "skin/promptform.h"

// The edit-handle dialog of the Options menu.
class frmhandle : public PromptForm {
    Q_OBJECT
public:
    frmhandle();
    void Form_Load();

    void Label3_Click();
    void Label4_Click();
};
