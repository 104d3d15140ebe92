#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;
class QLineEdit;

// The edit-handle dialog of the Options menu.
class frmhandle : public SkinnedForm {
    Q_OBJECT
public:
    frmhandle();
    void Form_Load();

    MouseLabel* Label1;  // title
    MouseLabel* Label2;  // prompt
    QLineEdit* Text1;
    PushLabel* Label3;   // "&Ok"
    PushLabel* Label4;   // "&Cancel"
    QLabel* Image1;
    QLabel* Image3;

    void Label3_Click();
    void Label4_Click();
};
