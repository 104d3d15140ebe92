#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QLabel;
class QLineEdit;

// The small dialog with a title, a prompt, one box and "&Ok" / "&Cancel" over button images,
// painted with frm.bmp (the handle dialogs; the string and ornament dialogs share it).
class PromptForm : public SkinnedForm {
    Q_OBJECT
public:
    PromptForm(const QString& name, const QString& title, const QString& prompt, const QString& boxName);

    MouseLabel* Label1;  // title
    MouseLabel* Label2;  // prompt
    QLineEdit* Text1;
    PushLabel* Label3;   // "&Ok"
    PushLabel* Label4;   // "&Cancel"
    QLabel* Image1;
    QLabel* Image3;

protected:
    // The load-time skin of these dialogs; folder empty for the current skin.
    void applyPromptSkin(const QString& folder = {});
    // Enter presses "&Ok", Esc presses "&Cancel"; on showing, the preset answer is selected so
    // typing replaces it.
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
};
