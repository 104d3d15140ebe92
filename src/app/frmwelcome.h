#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;

// The welcome window of the first run.
class frmwelcome : public SkinnedForm {
    Q_OBJECT
public:
    frmwelcome();
    void Form_Load();

    MouseLabel* Label1; // title
    QLabel* Label2;     // welcome text
    PushLabel* Label3;  // "&Ok"
    QLabel* Image1;
    QLabel* Image2;     // the welcome picture
};
