#pragma once
#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <climits>
#include <functional>
#include <optional>

class MouseLabel;
class PushLabel;
class QLabel;

// The base of every borderless, skinned window: background bitmap from the current skin, twips
// geometry, and the title drag of the dialogs.
class SkinnedForm : public QWidget {
    Q_OBJECT
public:
    explicit SkinnedForm(QWidget* parent = nullptr, Qt::WindowFlags extra = {});

    // Edges and size in twips.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setHeight(int twips);
    void moveTwips(int left, int top);

    // The background bitmap; a file that cannot be read leaves a plain fill.
    void setBackground(const QString& path);
    void setBackgroundPicture(const QPixmap& picture);
    // A skin picture drawn to another size: the corners and the edges (`edges` pixels: left, top,
    // right, bottom) keep their look, the middle stretches or shrinks.
    static QPixmap fitted(const QPixmap& picture, QSize size, QMargins edges);

    // A skinned window has a fixed size, so a window manager's resize cannot show unskinned
    // ground; these hide QWidget::resize for the windows' own code.
    void resize(int w, int h);
    void resize(const QSize& s) { resize(s.width(), s.height()); }

    // A panel of the window `owner` names when it shows (nullptr: none yet): a tool window kept
    // out of the task bar and the window switcher.
    void setToolWindowOf(std::function<QWidget*()> owner);

    // Paints the window again from the current skin: bitmaps, colours and fonts. A skin change
    // asks every loaded window; a dialog repeats what its load applied (see ApplyDialogSkin).
    virtual void ApplySkin();

    // The dialog's keys: Enter presses defaultButton, Esc presses cancelButton (either may be
    // none; a focused push label takes Enter itself).
    void setDialogKeys(PushLabel* defaultButton, PushLabel* cancelButton);

    // Drag state of the title drag: X = -1 when idle.
    qint16 dragX() const { return dragX_; }

    // Places a child in twips.
    static void place(QWidget* child, int left, int top, int width, int height);

    // Colours from skin.ini values.
    static void setTextColour(QWidget* w, const QColor& colour);
    static void setBoxColours(QWidget* w, const QColor& background, const QColor& text);
    // A font face from skin.ini; an empty name keeps the face the control was designed with.
    static void setFontFace(QWidget* w, const QString& face);
    // While w has the focus it shows a dotted frame in the text colour of colourFrom (a skinned
    // label), as push labels show theirs, instead of the desktop's focus colour.
    static void frameFocus(QWidget* w, QWidget* colourFrom);
    // Shows or hides the controls; when the focus was in one that is hidden now, it goes to
    // keeper instead of wherever Qt's tab chain would lead.
    void setControlsShown(const QList<QWidget*>& controls, bool shown, QWidget* keeper);

protected:
    // Makes the label the window's title: a press with any button but the right one starts a
    // drag, moving follows the pointer, release ends it and pulls the window onto the screen.
    void attachTitleDrag(MouseLabel* title);
    void Title_MouseDown(Qt::MouseButton button, int x, int y);
    void Title_MouseMove(int x, int y);
    void Title_MouseUp();
    // Keeps the whole window on the screen when it fits.
    void pullOntoScreen();

    // A push button: the image under it shows button.bmp, the label is the button.
    PushLabel* makeButton(QLabel*& image, const QString& caption, int left, int top, int width = 1140,
                          int height = 300);

    struct DialogSkin {
        QString background;            // bitmap file name in the skin folder
        QList<QLabel*> buttonImages;   // get button.bmp
        QLabel* title = nullptr;       // title label
        QString titleKey;              // its colour key
        QList<QWidget*> statics;       // key static
        QList<QWidget*> textBoxes;     // keys textbg / textfore
        QList<QWidget*> buttons;       // key buttonfore
        bool centre = true;
        QString folder = {};           // a fixed skin folder instead of the current one
        struct Keyed {
            QString key;
            QList<QWidget*> widgets;
        };
        QList<Keyed> colours = {};     // further text colours by key
        QList<Keyed> fonts = {};       // font faces by key
    };
    // The load-time skinning every dialog runs: topmost, centred, idle drag, bitmaps and colours.
    // The window keeps the description, so a skin change repaints it the same way.
    void ApplyDialogSkin(const DialogSkin& skin);

    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    PushLabel* defaultButton_ = nullptr;
    PushLabel* cancelButton_ = nullptr;
    // Twips values last set; pixels cannot hold every twips value (550 twips is 36.7 pixels), so
    // a value reads back exactly as set while the window has not moved or resized since.
    int twipsOr(int stored, int pixels) const;
    int leftTwips_ = INT_MIN, topTwips_ = INT_MIN, heightTwips_ = INT_MIN;
    void paintDialogSkin(const DialogSkin& skin);

    QPixmap background_;
    std::function<QWidget*()> toolOwner_;
    std::optional<DialogSkin> dialogSkin_;
    qint16 dragX_ = -1;
    qint16 dragY_ = -1;
};
