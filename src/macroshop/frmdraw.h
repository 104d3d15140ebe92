#pragma once
#include "skin/skinnedform.h"

#include <array>

class CaptionStrip;
class MacroEdit;
class MouseLabel;
class PopupMenuForm;
class PushLabel;
class QWindow;

// The macro shop: a skinned editor window for one macro, with its caption menus.
class frmdraw : public SkinnedForm {
    Q_OBJECT
public:
    frmdraw();
    void Form_Load();

    static const QString kTitle;

    MouseLabel* Label1;  // title, drag handle; the right button opens the window menu
    PushLabel* Label2;   // "&Files"
    PushLabel* Label3;   // "&Options"
    PushLabel* Label4;   // "&Strings"
    PushLabel* Label5;   // "&Edit"
    PushLabel* Label6;   // "&Help"
    PushLabel* Label10;  // "&Filters"
    PushLabel* Label7;   // close
    PushLabel* Label8;   // help
    PushLabel* Label9;   // minimize
    MacroEdit* Text1;

    // Widened by 30 % (background picture, wider editor) or the normal size.
    void SetWide(bool wide);
    bool isWide() const { return wide_; }
    // The window menu's "&maximize" and "&restore", and a double-click on the title: the shop
    // fills the screen beside its docked character map, the editor growing with it, and comes back.
    void Maximize();
    void RestoreSize();
    bool isFilling() const { return filling_; }
    // A skin change: the picture as the size has it, the captions' colour.
    void ApplySkin() override;

    // Caption label i (0 Files, 1 Options, 2 Strings, 3 Edit, 4 Help): opens its menu below it,
    // or closes it when open.
    void CaptionLabel_MouseDown(int i, Qt::MouseButton button);
    void Label10_Click();
    // The window menu's "&move" (see CaptionStrip::startMove).
    bool StartMove();
    void Label1_MouseDown(Qt::MouseButton button, int x, int y);
    void Label7_MouseUp(Qt::MouseButton button);
    void Label9_MouseUp(Qt::MouseButton button);
    // F1..F12 and Esc in the editor: the stored string of the slot.
    void Text1_SlotKey(int slot);
    void Text1_MouseDown();
    // Focus outside the macro shop and its menus closes the menus.
    void FocusWatch(QWindow* focusWindow);
    // The docked character map at the left edge.
    void DockCharMap();
    // Shows the window again (after a menu item) with its character map where it was shown.
    void ShowAgain();

protected:
    void moveEvent(QMoveEvent* e) override;

private:
    std::array<PushLabel*, 5> captionLabels_{};
    CaptionStrip* strip_ = nullptr;
    bool wide_ = false;
    bool filling_ = false;
    bool skinned_ = false;
    QRect before_;
    // Places the title, its buttons and the editor for the window's width and height (twips)
    // and draws the skin's picture to the window's size.
    void layout(int width, int height);
};
