#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class PushLabel;
class QTime;
class QTimer;

// The indicator panel docked under the main window: position and caret text, clock, start
// counter and the options-panel toggle.
class frmrect : public SkinnedForm {
    Q_OBJECT
public:
    frmrect();
    void Form_Load();

    MouseLabel* Label1; // indicator text
    MouseLabel* Label2; // clock
    MouseLabel* Label3; // larger copy of the toggle glyph
    PushLabel* Label4;  // options-panel toggle: "6" closed, "5" open
    MouseLabel* Label5; // start counter

    void setIndicatorText(const QString& text);
    QString indicatorText() const;
    // True when the toggle records the options panel as open.
    bool optionsOpen() const;
    // The toggle's click: opens or closes the options panel.
    void Label4_Click();
    void ApplySkin() override;
    // The main window, the indicator and the options panel above other windows, in that order.
    void BringStackOnTop();
    // The clock: the time of day in the system's time format, refreshed every second.
    void refreshClock();
    static QString ClockText(const QTime& time);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    QTimer* clock_;
};
