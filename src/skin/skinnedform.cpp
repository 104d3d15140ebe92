#include "skinnedform.h"
#include "skin/heldkeys.h"

#include "core/commonkit.h"
#include "platform/clock.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPainter>
#include <QWindow>
#include <climits>

SkinnedForm::SkinnedForm(QWidget* parent, Qt::WindowFlags extra)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | extra)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    HeldKeys::Watch();
}

void SkinnedForm::setDialogKeys(PushLabel* defaultButton, PushLabel* cancelButton)
{
    defaultButton_ = defaultButton;
    cancelButton_ = cancelButton;
}

void SkinnedForm::keyPressEvent(QKeyEvent* e)
{
    // Keys the focused control left over: a box that takes Enter keeps it.
    const bool plain = !(e->modifiers() & ~Qt::KeypadModifier);
    PushLabel* button = nullptr;
    if (plain && e->key() == Qt::Key_Escape)
        button = cancelButton_;
    else if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))
        button = defaultButton_;
    if (button && button->isVisible() && button->isEnabled()) {
        // A held Enter or Esc presses its button once.
        if (!HeldKeys::IsRepeat(e))
            button->click();
        return;
    }
    QWidget::keyPressEvent(e);
}

int SkinnedForm::twipsOr(int stored, int pixels) const
{
    return stored >= -0x3fffffff && Twips::toPixels(stored) == pixels ? stored : Twips::fromPixels(pixels);
}

int SkinnedForm::Left() const { return twipsOr(leftTwips_, x()); }
int SkinnedForm::Top() const { return twipsOr(topTwips_, y()); }
int SkinnedForm::Width() const { return Twips::width(this); }
int SkinnedForm::Height() const { return twipsOr(heightTwips_, height()); }

void SkinnedForm::setLeft(int twips) { moveTwips(twips, Top()); }
void SkinnedForm::setTop(int twips) { moveTwips(Left(), twips); }

void SkinnedForm::setHeight(int twips)
{
    heightTwips_ = twips;
    setFixedHeight(Twips::toPixels(twips));
}

void SkinnedForm::moveTwips(int left, int top)
{
    leftTwips_ = left;
    topTwips_ = top;
    Twips::move(this, left, top);
}

void SkinnedForm::setBackground(const QString& path)
{
    background_ = SkinFolder::Picture(path);
    update();
}

void SkinnedForm::setBackgroundPicture(const QPixmap& picture)
{
    background_ = picture;
    update();
}

QPixmap SkinnedForm::fitted(const QPixmap& picture, QSize size, QMargins edges)
{
    if (picture.isNull() || picture.size() == size)
        return picture;
    QPixmap out(size);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int sx[4] = {0, edges.left(), picture.width() - edges.right(), picture.width()};
    const int sy[4] = {0, edges.top(), picture.height() - edges.bottom(), picture.height()};
    const int dx[4] = {0, edges.left(), size.width() - edges.right(), size.width()};
    const int dy[4] = {0, edges.top(), size.height() - edges.bottom(), size.height()};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const QRect from(QPoint(sx[c], sy[r]), QPoint(sx[c + 1] - 1, sy[r + 1] - 1));
            const QRect to(QPoint(dx[c], dy[r]), QPoint(dx[c + 1] - 1, dy[r + 1] - 1));
            if (from.isValid() && to.isValid())
                p.drawPixmap(to, picture, from);
        }
    return out;
}

void SkinnedForm::resize(int w, int h) { setFixedSize(w, h); }

void SkinnedForm::setToolWindowOf(std::function<QWidget*()> owner)
{
    toolOwner_ = std::move(owner);
    setWindowFlag(Qt::Tool, true);
}

void SkinnedForm::showEvent(QShowEvent* e)
{
    // The owner's native window may come later than this one's.
    if (QWidget* owner = toolOwner_ ? toolOwner_() : nullptr; owner && owner != this) {
        owner->winId();
        if (windowHandle())
            windowHandle()->setTransientParent(owner->windowHandle());
    }
    QWidget::showEvent(e);
}

void SkinnedForm::ApplySkin()
{
    if (dialogSkin_)
        paintDialogSkin(*dialogSkin_);
}

void SkinnedForm::place(QWidget* child, int left, int top, int width, int height)
{
    child->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

void SkinnedForm::setTextColour(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

void SkinnedForm::setBoxColours(QWidget* w, const QColor& background, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Text, text);
    // The selection shows the two colours swapped, and a scroll bar takes its shades from them,
    // so no colour of the desktop's own breaks into the skin.
    p.setColor(QPalette::Highlight, text);
    p.setColor(QPalette::HighlightedText, background);
    auto mix = [&](double t) {
        return QColor::fromRgbF(float(background.redF() + (text.redF() - background.redF()) * t),
                                float(background.greenF() + (text.greenF() - background.greenF()) * t),
                                float(background.blueF() + (text.blueF() - background.blueF()) * t));
    };
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Button, mix(0.3));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Light, mix(0.45));
    p.setColor(QPalette::Midlight, mix(0.35));
    p.setColor(QPalette::Mid, mix(0.2));
    p.setColor(QPalette::Dark, mix(0.1));
    p.setColor(QPalette::Shadow, background);
    w->setPalette(p);
}

void SkinnedForm::setFontFace(QWidget* w, const QString& face)
{
    // The first skin to touch the control notes the designed font.
    QVariant designed = w->property("designedFont");
    if (!designed.isValid()) {
        designed = w->font();
        w->setProperty("designedFont", designed);
    }
    QFont f = designed.value<QFont>();
    if (!face.isEmpty())
        f.setFamily(face);
    w->setFont(f);
}

namespace {
// Paints the control as it is, then the frame over it. The control's own focus look (a check
// box's outline) takes the skin's colour too: set whenever either palette changes, so a control
// re-skinned while open looks as one loaded fresh, whether it had the focus or not.
class FocusFramer : public QObject {
public:
    FocusFramer(QWidget* w, QWidget* colourFrom)
        : QObject(w)
        , w_(w)
        , colourFrom_(colourFrom)
    {
        w->installEventFilter(this);
        if (colourFrom)
            colourFrom->installEventFilter(this);
        matchHighlight();
    }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::PaletteChange) {
            matchHighlight();
            return false;
        }
        if (watched != w_ || e->type() != QEvent::Paint || !w_->hasFocus() || busy_)
            return false;
        busy_ = true;
        static_cast<QObject*>(w_)->event(e);
        busy_ = false;
        QPainter p(w_);
        p.setPen(QPen(colour(), 1, Qt::DotLine));
        p.drawRect(w_->rect().adjusted(0, 0, -1, -1));
        return true;
    }

private:
    QColor colour() const
    {
        return colourFrom_ ? colourFrom_->palette().color(QPalette::WindowText) : w_->palette().color(QPalette::Text);
    }
    void matchHighlight()
    {
        const QColor c = colour();
        if (busy_ || w_->palette().color(QPalette::Highlight) == c)
            return;
        busy_ = true;
        QPalette pal = w_->palette();
        pal.setColor(QPalette::Highlight, c);
        w_->setPalette(pal);
        busy_ = false;
    }

    QWidget* w_;
    QPointer<QWidget> colourFrom_;
    bool busy_ = false;
};
}

void SkinnedForm::frameFocus(QWidget* w, QWidget* colourFrom) { new FocusFramer(w, colourFrom); }

void SkinnedForm::attachTitleDrag(MouseLabel* title)
{
    connect(title, &MouseLabel::mousePressed, this, [this](Qt::MouseButton b, int x, int y) { Title_MouseDown(b, x, y); });
    connect(title, &MouseLabel::mouseMoved, this, [this](Qt::MouseButtons, int x, int y) { Title_MouseMove(x, y); });
    connect(title, &MouseLabel::mouseReleased, this, [this](Qt::MouseButton, int, int) { Title_MouseUp(); });
}

void SkinnedForm::Title_MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton)
        return;
    dragX_ = qint16(x);
    dragY_ = qint16(y);
}

void SkinnedForm::Title_MouseMove(int x, int y)
{
    if (dragX_ == -1)
        return;
    moveTwips(Left() - (dragX_ - x), Top() - (dragY_ - y));
    Clock::processEvents();
}

void SkinnedForm::Title_MouseUp()
{
    dragX_ = -1;
    pullOntoScreen();
}

void SkinnedForm::pullOntoScreen()
{
    int left = Left(), top = Top();
    if (left > Twips::screenWidth() - Width())
        left = Twips::screenWidth() - Width();
    if (top > Twips::screenHeight() - Height())
        top = Twips::screenHeight() - Height();
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    moveTwips(left, top);
}

PushLabel* SkinnedForm::makeButton(QLabel*& image, const QString& caption, int left, int top, int width, int height)
{
    image = new QLabel(this);
    // The picture a reader meets is the face of the button it lies under.
    image->setAccessibleName(PushLabel::plainCaption(caption) + " button face");
    image->setScaledContents(false);
    place(image, left, top, width, height);
    auto* label = new PushLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);
    place(label, left, top, width, height);
    label->raise();
    return label;
}

void SkinnedForm::ApplyDialogSkin(const DialogSkin& skin)
{
    CommonKit::StayOnTop(this);
    if (skin.centre)
        CommonKit::CenterForm(this);
    dragX_ = -1;
    dialogSkin_ = skin;
    paintDialogSkin(skin);
}

void SkinnedForm::paintDialogSkin(const DialogSkin& skin)
{
    SkinFolder::Batch batch;
    const QString s = skin.folder.isEmpty() ? SkinFolder::ResolveSkinFolder() : skin.folder;
    if (!skin.background.isEmpty())
        setBackground(s + skin.background);
    const QPixmap button = skin.buttonImages.isEmpty() ? QPixmap() : SkinFolder::Picture(s + "button.bmp");
    for (QLabel* image : skin.buttonImages)
        image->setPixmap(button);
    if (skin.title && !skin.titleKey.isEmpty())
        setTextColour(skin.title, SkinFolder::Colour(s, skin.titleKey));
    if (!skin.statics.isEmpty()) {
        const QColor c = SkinFolder::Colour(s, "static");
        for (QWidget* w : skin.statics)
            setTextColour(w, c);
    }
    if (!skin.textBoxes.isEmpty()) {
        const QColor bg = SkinFolder::Colour(s, "textbg");
        const QColor fg = SkinFolder::Colour(s, "textfore");
        for (QWidget* w : skin.textBoxes)
            setBoxColours(w, bg, fg);
    }
    if (!skin.buttons.isEmpty()) {
        const QColor c = SkinFolder::Colour(s, "buttonfore");
        for (QWidget* w : skin.buttons)
            setTextColour(w, c);
    }
    for (const DialogSkin::Keyed& k : skin.colours) {
        const QColor c = SkinFolder::Colour(s, k.key);
        for (QWidget* w : k.widgets)
            setTextColour(w, c);
    }
    for (const DialogSkin::Keyed& k : skin.fonts) {
        const QString face = SkinFolder::Value(s, k.key);
        for (QWidget* w : k.widgets)
            setFontFace(w, face);
    }
}

void SkinnedForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (background_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawPixmap(0, 0, background_);
}

void SkinnedForm::setControlsShown(const QList<QWidget*>& controls, bool shown, QWidget* keeper)
{
    QWidget* focused = QApplication::focusWidget();
    const bool focusInside = focused && focused->window() == this && focused != this;
    for (QWidget* c : controls)
        c->setVisible(shown);
    if (focusInside && !focused->isVisible())
        keeper->setFocus(Qt::OtherFocusReason);
}
