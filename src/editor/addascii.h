#pragma once
#include "core/commonkit.h"
#include "skin/promptform.h"

// The add-string dialog: appends one string to the string file and to the main window's list.
class addascii : public PromptForm {
    Q_OBJECT
public:
    addascii();
    void Form_Load();

    // The string file's content as it was read when the dialog loaded.
    QString Text2;
    // Why the string file was not read whole (None when Text2 holds all of it). A file that was
    // not read whole is never rewritten: a new string is appended to it, or refused.
    CommonKit::ReadProblem readProblem = CommonKit::ReadProblem::None;

    void Label3_Click();
    void Label4_Click();

    static QString StringFilePath();

private:
    void addToFileNotReadWhole(const QString& entry);
};
