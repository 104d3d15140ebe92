#pragma once
#include "skin/skinnedform.h"

#include <array>

class PushLabel;
class QLabel;

// The options panel docked under the indicator panel: the chat commands. Each command is a
// label over a button image; the two toggles keep their state in their captions.
class ops : public SkinnedForm {
    Q_OBJECT
public:
    ops();
    void Form_Load();

    QLabel* Image1;  QLabel* Image2;  QLabel* Image3;  QLabel* Image4;
    QLabel* Image5;  QLabel* Image6;  QLabel* Image7;  QLabel* Image8;
    QLabel* Image9;  QLabel* Image10; QLabel* Image11; QLabel* Image12;
    PushLabel* Label1;  // "&scroll ascii"
    PushLabel* Label2;  // "&advertize"
    PushLabel* Label3;  // "&macro shop"
    PushLabel* Label4;  // "&lock boxes" / "&unlock"
    PushLabel* Label5;  // "&mail ascii"
    PushLabel* Label6;  // "&kill wait"
    PushLabel* Label7;  // "&upchat on" / "&upchat off"
    PushLabel* Label8;  // "&pr gly", acts on mouse down
    PushLabel* Label9;  // "&email me", acts on mouse down
    PushLabel* Label10; // "&im me", acts on mouse down
    PushLabel* Label11; // "&set ascii"
    PushLabel* Label12; // "&close"

    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_Click();
    void Label8_MouseDown();
    void Label9_MouseDown();
    void Label10_MouseDown();
    void Label11_Click();
    void Label12_Click();

    // A press anywhere on the buttons brings the docked stack above other windows.
    void BringStackOnTop();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::array<QLabel*, 12> images_{};
    std::array<PushLabel*, 12> labels_{};
};
