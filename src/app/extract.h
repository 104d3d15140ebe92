#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class QProgressBar;
class QTimer;

// The first-run window that writes the initial files.
class extract : public SkinnedForm {
    Q_OBJECT
public:
    extract();
    void Form_Load();

    MouseLabel* Label1;    // title
    MouseLabel* Label2;    // the file just written
    MouseLabel* Label3;    // the fixed explanation
    QProgressBar* ProgressBar1;
    QTimer* Timer1;        // the one-shot step after showing

    // The one-shot step: writes the files, then opens the main window.
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* e) override;
};
