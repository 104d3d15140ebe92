#pragma once
#include "editor/pages.h"
#include "editor/stringlist.h"
#include "skin/skinnedform.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <array>
#include <optional>

class CaptionStrip;
class MouseLabel;
class PageEdit;
class PopupMenuForm;
class PushLabel;
class QListView;
class QTimer;
class QWindow;

// The main window: caption strip, the four art pages and the string list.
class frmmain : public SkinnedForm {
    Q_OBJECT
public:
    frmmain();
    void Form_Load();
    // iface.bmp, the colours of the pages and the string list, and the menu-bar labels.
    void ApplySkin() override;

    MouseLabel* Label1;  // title, drag handle
    PushLabel* Label2;   // "&Files"
    PushLabel* Label3;   // "&Options"
    PushLabel* Label4;   // "&Help"
    PushLabel* Label5;   // "&Edit"
    PushLabel* Label6;   // minimize
    PushLabel* Label7;   // close
    PushLabel* Label8;   // help
    PageEdit* Text1;
    PageEdit* Text2;
    PageEdit* Text3;
    PageEdit* Text4;
    StringList* List1;   // the character set and the user's strings, sorted
    QTimer* Timer8;      // the one-shot staged start-up
    // The pages buffer: splits an ascii file into pages; whatever the last reading left stays.
    QString Text5;
    // Timer4..Timer7: page N is active while its timer runs.
    std::array<bool, 4> pageTimer{};

    PageEdit* page(int n) const { return pages_[n - 1]; }
    Pages::Four pageTexts() const;
    void setPageTexts(const Pages::Four& texts);
    void clearPages();
    // The undo past a page's own history: the four pages a page pick emptied come back.
    void UndoPagePick();
    // The ascii-file reading rule onto the four pages; true when a page had to be cut.
    bool readAsciiText(const QString& content);
    // Reads an ascii file onto the pages (only what they can hold); a file that is not a regular
    // file is refused and a cut is reported to the user.
    void readAsciiFile(const QString& path);

    // Files menu page commands.
    void OpenAscii();
    void SaveAscii();
    void OpenRecent(const QString& path);
    // Edit menu commands; the clipboard-and-undo ones act on the page that had the focus when the
    // menu opened, and on nothing when the focus was not on a page.
    enum class EditKey { Undo, Cut, Copy, Paste };
    void SendEditKey(EditKey key);
    void DeleteSelection();
    void SelectAllActive(bool moveFocus);
    void CopyAllFields();

    // Page events.
    void Page_MouseDown(int n);
    void Page_Change(int n);
    void Page_MouseMove(int n);
    void Page_KeyPress(int n, int code);
    // A click on the string list inserts the entry into the active page.
    void List1_Click(const QString& entry);

    // The indicator text for page n (0: no particular page, caret of page 1).
    QString IndicatorText(int n) const;
    void WriteIndicator(int n);

    // Pages in use follow the Options menu's check marks.
    void UpdatePageEnabling();
    // Page n's tracking timer runs and the others stop (0 stops all).
    void SetActivePage(int n);
    int activePage() const;

    // Roll up or down as the Files menu item says; re-docks.
    void RollUpDown();
    // Indicator under the main window, options panel under the indicator when it is visible.
    void Dock();
    // After a caption drag: the stack back onto the screen.
    void KeepOnScreen();
    // The options panel, the indicator and the main window above other windows, in that order.
    void StackOnTop();

    // Minimize, and the restore watch that brings the panels back (the design's Timer3).
    void Minimize();
    bool restoreWatch() const { return restoreWatch_; }
    // The window menu's "&move" (see CaptionStrip::startMove).
    bool StartMove();

    // Shows a caption menu under its label (0 Files, 1 Options, 2 Edit, 3 Help); a menu that
    // would leave the screen's bottom takes the window up with it.
    void ShowCaptionMenu(PopupMenuForm* menu, int leftOffset);
    // The focus watch: focus outside the main window and its menus closes the menus.
    void FocusWatch(QWindow* focusWindow);

    // The caption strip.
    void Label1_MouseDown(Qt::MouseButton button, int x, int y);
    void Label1_MouseMove(int x, int y);
    void Label1_MouseUp(Qt::MouseButton button, int x, int y);
    void Label1_DblClick();
    void Label6_MouseUp(Qt::MouseButton button, int x, int y);
    // The window menu at a title release point.
    void ShowWindowMenu(int x, int y);
    // After a pick the keys go to the page picked (else the first in use), so typing, and
    // Ctrl+Z, reach the pages; at start too, rather than to "&Files".
    void FocusPageInUse(int picked = 0);
    // The drag state: the press point in twips, or none.
    std::optional<QPoint> pressPoint() const;

    // The page tracking: writes the indicator for every running page timer.
    void TrackingTick();

    // The staged start-up.
    void Timer8_Timer();
    // The close button's quit: asks first.
    void QuitWithQuestion();
    void Label7_MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void GreetOnFocus();

    bool staged_ = false;
    std::array<PageEdit*, 4> pages_{};
    // The control of this window that last had the focus, as the window's active control: a
    // press on a caption label focuses the window itself on its way to opening a menu, and
    // other windows (menus, panels) keep their own.
    QPointer<QWidget> lastFocus_;
    // The press point of a press on the window itself.
    std::optional<QPoint> press_;
    CaptionStrip* strip_ = nullptr;
    bool restoreWatch_ = false;
    bool enabling_ = false;
    bool welcomed_ = false;
    bool wasMinimized_ = false;
    // The next tick of the page tracking, after something else wrote the indicator.
    QTimer* trackTick_ = nullptr;
};
