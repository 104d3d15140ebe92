#pragma once
#include <QLabel>
#include <QPointer>

#include <functional>

class QShortcut;

// A label that reports its mouse events with positions in twips, as the window's handlers
// expect them (press, move, release, double-click).
class MouseLabel : public QLabel {
    Q_OBJECT
public:
    explicit MouseLabel(QWidget* parent = nullptr);
    explicit MouseLabel(const QString& caption, QWidget* parent = nullptr);

    // The caption as the system keeps it, "&" included; shown with its mnemonic underlined.
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // Captions that hold one glyph of a symbol font keep their state here and are drawn with an
    // equivalent glyph (see glyphFor): check mark "a", arrows "5"/"6", window glyphs "0" "1" "2" "r".
    static QString glyphFor(const QString& symbol);
    // Marks the label as one that shows a symbol-font glyph.
    void setSymbol(bool symbol);
    bool symbol() const { return symbol_; }

signals:
    void mousePressed(Qt::MouseButton button, int x, int y);
    void mouseMoved(Qt::MouseButtons buttons, int x, int y);
    void mouseReleased(Qt::MouseButton button, int x, int y);
    void doubleClicked();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QString caption_;
    bool symbol_ = false;
    bool pressedInside_ = false;
};

// A label that acts as a push button or a menu item: clickable, with its "&" mnemonic, the
// push-button (or menu-item) role, the caption without "&" as accessible name, and a press
// action for assistive technology.
class PushLabel : public MouseLabel {
    Q_OBJECT
public:
    // Hint: the shortcut text at the right of a menu row, told as its item's shortcut.
    enum class Role { Button, MenuItem, CheckMark, Hint };
    explicit PushLabel(const QString& caption, QWidget* parent = nullptr, Role role = Role::Button);

    Role role() const { return role_; }
    // Runs the label's action: the press action when one is set, else the clicked signal.
    void click();
    // For labels whose mouse action happens on release with position tests, the action that
    // the keyboard, the mnemonic and assistive technology run.
    void setPressAction(std::function<void()> action) { pressAction_ = std::move(action); }
    void setCaption(const QString& caption);

    // A caption wider than `width` pixels shows elided in the middle ("…"); its name stays whole.
    // A new caption shows whole again.
    void elideTo(int width);

    // "&Ok" -> "Ok".
    static QString plainCaption(const QString& caption);

    // A two-state item: checked while this mark is shown.
    void setCheckMark(QWidget* mark);
    QWidget* checkMark() const { return checkMark_; }
    bool checked() const { return checkMark_ && !checkMark_->isHidden(); }
    // The name a reader hears while the caption is empty (an empty recent-file slot).
    void setEmptyName(const QString& name);
    // The key sequence a menu row shows at its right ("Ctrl + B").
    void setShortcutHint(const QString& hint) { shortcutHint_ = hint; }
    QString shortcutHint() const { return shortcutHint_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void updateMnemonic();

    Role role_;
    std::function<void()> pressAction_;
    QShortcut* shortcut_ = nullptr;
    QPointer<QWidget> checkMark_;
    QString shortcutHint_;
    QString emptyName_;
};
