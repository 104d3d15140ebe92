#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QComboBox;
class QLabel;
class QLineEdit;

// The user's own mail relay: host, port, user name, password, the user's own address, how the
// connection is made secure and which certificates it trusts. An empty host means the shop's own.
class frmrelay : public SkinnedForm {
    Q_OBJECT
public:
    frmrelay();
    void Form_Load();

    MouseLabel* Label1;  // title
    MouseLabel* Label2;  // "host"
    MouseLabel* Label6;  // "port"
    MouseLabel* Label7;  // "user name"
    MouseLabel* Label8;  // "password"
    MouseLabel* Label9;  // "security"
    MouseLabel* Label10; // the hint under the boxes
    MouseLabel* Label11; // "your address"
    MouseLabel* Label12; // "CA file"
    QLineEdit* Text1;    // host
    QLineEdit* Text2;    // port
    QLineEdit* Text3;    // user name
    QLineEdit* Text4;    // password, kept in the keyring
    QComboBox* Combo1;   // none, STARTTLS, TLS from the start
    QLineEdit* Text5;    // the user's own address, the sender after a log-in
    QLineEdit* Text6;    // a file of certificates (PEM) to trust for this relay
    PushLabel* Label3;   // "&Ok"
    PushLabel* Label4;   // "&Cancel"
    QLabel* Image1;
    QLabel* Image3;

    void Label3_Click();
    void Label4_Click();
};
