#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;
class QLineEdit;

// The link dialog: a web address and a text become an HTML anchor on the clipboard.
class frmlink : public SkinnedForm {
    Q_OBJECT
public:
    frmlink();
    void Form_Load();

    MouseLabel* Label1; // title, drag handle
    QLineEdit* Text1;   // the web address
    QLineEdit* Text2;   // the text shown
    QLineEdit* Text3;   // the anchor
    QLabel* Image1;
    QLabel* Image3;
    PushLabel* Label3;  // "&Ok"
    PushLabel* Label4;  // "&Cancel"

    void Label3_Click();
    void Label4_Click();
};
