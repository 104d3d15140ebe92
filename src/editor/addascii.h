#pragma once
#include "skin/promptform.h"

// The add-string dialog: appends one string to the string file and to the main window's list.
class addascii : public PromptForm {
    Q_OBJECT
public:
    addascii();
    void Form_Load();

    // The string file's content as it was read when the dialog loaded.
    QString Text2;

    void Label3_Click();
    void Label4_Click();

    static QString StringFilePath();
};
