#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;
class QTextBrowser;

// A small skinned window for the help, about, greets and credits texts.
class frmhelp : public SkinnedForm {
    Q_OBJECT
public:
    frmhelp();
    void Form_Load();
    void showText(const QString& title, const QString& text, bool monospace = false);

    MouseLabel* Label1; // title
    QTextBrowser* Text1;
    PushLabel* Label3;  // "&Ok"
    QLabel* Image1;
};

namespace Help {
void ShowHelp();
void ShowAbout();
void ShowIntroArt();
void ShowGreets();
void ShowCredits();
void ShowBetaTesters();
// The two personal notes, then the chat list in the macro shop once it exists.
void ShowPersonalNotes();
}
