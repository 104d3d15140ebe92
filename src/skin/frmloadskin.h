#pragma once
#include "skin/skinnedform.h"

#include <QStringList>

class DirList;
class MouseLabel;
class PushLabel;
class QLabel;

// The load-new-skin dialog: a folder list for the candidate skin folder, "&Desktop", "&Ok" and
// "&Cancel". Ok checks the folder for the eleven bitmaps, stores it as SKIN and then either
// repaints every open window from it or starts the program anew.
class frmloadskin : public SkinnedForm {
    Q_OBJECT
public:
    frmloadskin();
    void Form_Load();
    void ApplySkin() override;

    MouseLabel* Label1; // title, drag handle
    DirList* Dir1;      // the candidate skin folder
    QLabel* Label5;     // the highlighted folder's full path
    QLabel* Label6;     // how to use the list
    PushLabel* Label2;  // "&Desktop"
    PushLabel* Label3;  // "&Ok"
    PushLabel* Label4;  // "&Cancel"
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;

    // The Files menu's "&load skin": the program's windows step aside and the dialog opens.
    static void Open();

    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    // Repaints every loaded window from the stored skin, with the splash as progress window and
    // the skin-change banner, then brings the windows back and closes the dialog.
    void ApplySkinToOpenWindows();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void showPath();
    // A message box with the dialog out of its way.
    void tell(const QString& text, const QString& title);
    // What the folder lacks, in a sentence with what a skin folder holds.
    static QString missingText(const QString& folder, const QStringList& bitmaps, bool ini);
};
