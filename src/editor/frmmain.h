#pragma once
#include "editor/pages.h"
#include "skin/skinnedform.h"

#include <QString>
#include <array>

class MouseLabel;
class PageEdit;
class PopupMenuForm;
class PushLabel;
class QListWidget;
class QTimer;

// The main window: caption strip, the four art pages and the string list.
class frmmain : public SkinnedForm {
    Q_OBJECT
public:
    frmmain();
    void Form_Load();

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
    QListWidget* List1;
    QTimer* Timer8;      // the one-shot staged start-up
    // The pages buffer: splits an ascii file into pages; whatever the last reading left stays.
    QString Text5;
    // Timer4..Timer7: page N is active while its timer runs.
    std::array<bool, 4> pageTimer{};

    PageEdit* page(int n) const { return pages_[n - 1]; }
    Pages::Four pageTexts() const;
    void setPageTexts(const Pages::Four& texts);
    void clearPages();
    // The ascii-file reading rule onto the four pages.
    void readAsciiText(const QString& content);

    // Files menu page commands.
    void OpenAscii();
    void SaveAscii();
    void OpenRecent(const QString& path);
    // Edit menu commands; the clipboard-and-undo ones act on the page that had the focus.
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

    // Opens the menu under its caption label, or closes it when open.
    void ToggleMenu(PopupMenuForm* menu, int leftOffset);

    // The staged start-up.
    void Timer8_Timer();
    // The close button's quit: asks first.
    void QuitWithQuestion();
    void Label7_MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    bool staged_ = false;
    std::array<PageEdit*, 4> pages_{};
    PageEdit* lastFocusedPage_ = nullptr;
};
