#pragma once
#include "skin/promptform.h"

// The set-ascii dialog: edits the ornament every banner line carries.
class frmsetascii : public PromptForm {
    Q_OBJECT
public:
    frmsetascii();
    void Form_Load();

    void Label3_Click();
    void Label4_Click();

    // The message shown after a change.
    static QString ChangedMessage(const QString& oldValue, const QString& newValue);
};
