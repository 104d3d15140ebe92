#pragma once
#include "skin/pushlabel.h"
#include "skin/skinnedform.h"

#include <QList>
#include <QPointer>

class QFrame;
class QLabel;
class PushLabel;

// The skinned popup menu window: item labels, separator lines, the side strip `bar` and the top
// and bottom images `btop` and `bottom`. Items are laid out top to bottom.
class PopupMenuForm : public SkinnedForm {
    Q_OBJECT
public:
    explicit PopupMenuForm(QWidget* parent = nullptr);

    QLabel* bar = nullptr;
    QLabel* btop = nullptr;
    QLabel* bottom = nullptr;

    // Hides the menu; false while a submenu it owns is open (it stays open then).
    virtual bool mayHideOnFocusLoss() const { return true; }
    // Hides the two separators next to the top and bottom images.
    void hideTopAndBottomSeparators();
    // A skin change: colours, fonts and bitmaps of the new skin, as at load.
    void ApplySkin() override;
    const QList<QFrame*>& lines() const { return lines_; }
    const QList<PushLabel*>& items() const { return items_; }
    // The item with this caption, or nullptr.
    PushLabel* item(const QString& caption) const;

    // Places the menu (twips), makes it topmost, shows and activates it, then pulls it back onto
    // the screen: bottom edge first, then right edge.
    void showAt(int left, int top);
    // The label that opens this menu. A focus loss while the pointer rests on it is the press
    // that is about to toggle the menu, so the menu leaves the closing to that press.
    void setOpener(QWidget* label) { opener_ = label; }
    // Hides the menu and gives the keys back to the label that opened it (Esc).
    void closeToOpener();

protected:
    // Adds an item row; hint is an optional shortcut label at the right, itself clickable.
    PushLabel* addItem(const QString& caption, const QString& hint = {}, PushLabel** hintLabel = nullptr);
    // A check-mark glyph label at the left of the last item.
    PushLabel* addCheck();
    // A shown window glyph ("0", "1", "2", "r") at the left of the last item.
    PushLabel* addGlyph(const QString& symbol, const QString& accessibleName);
    QFrame* addSeparator();
    // Clicking the item hides this menu, then runs the command.
    template <class F> void onClick(PushLabel* item, F run)
    {
        connect(item, &MouseLabel::clicked, this, [this, run] {
            hide();
            run();
        });
    }
    // Closes the layout: sets the form's size from the rows (wider than designed when a caption
    // needs it) and places bar and bottom.
    void finishLayout(int widthTwips);
    // Colours, fonts and bitmaps of the current skin.
    void ApplyMenuSkin();
    // A recent-file row: the file's name as caption, its path as the row's tag, tooltip and
    // description. Call fitToCaptions once the rows are set.
    static void setRecentItem(PushLabel* item, const QString& name, const QString& path);
    // The menu takes the width of its widest caption, up to half the screen; a caption wider
    // than that shows elided in the middle.
    void fitToCaptions();
    // A menu that keeps its designed colours, fonts and top and bottom images takes only the
    // side strip from the skin (and the separator rule), as the macro shop's window menu does.
    // Set before finishLayout.
    void setBarOnlySkin(bool barOnly) { barOnly_ = barOnly; }

    void changeEvent(QEvent* e) override;
    // Esc closes, Up and Down move between the items, Enter presses, a letter is a mnemonic.
    void keyPressEvent(QKeyEvent* e) override;
    bool openerUnderPointer() const;
    // The shown item step rows from this one, round the end; the first (or last) from none.
    PushLabel* nextItem(PushLabel* from, int step) const;

private:
    void paintMenuColours(const QString& folder);
    void layoutRows(int widthTwips);
    // The width (twips) that shows every caption whole.
    int neededWidth() const;
    int designedWidth_ = 0;
    QList<PushLabel*> items_;
    QList<QWidget*> hints_;
    QList<QFrame*> lines_;
    int nextTop_ = 0;
    int lastItemTop_ = 0;
    QWidget* opener_ = nullptr;
    QPointer<QWidget> returnTo_;
    bool barOnly_ = false;
};
