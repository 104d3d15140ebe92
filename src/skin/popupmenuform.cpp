#include "popupmenuform.h"
#include "skin/heldkeys.h"

#include "core/commonkit.h"
#include "platform/twips.h"
#include "skin/mnemonics.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QLabel>

#include <algorithm>

namespace {
constexpr int kBarWidth = 210;   // side strip, twips
constexpr int kImageHeight = 90; // top and bottom images
constexpr int kRow = 240;        // one item row
constexpr int kSepRow = 90;      // one separator row

// A reader finds the menu's items as its children; marks, hints, images and rules are part of
// their items' look.
class PopupMenuAccessible : public QAccessibleWidget {
public:
    explicit PopupMenuAccessible(PopupMenuForm* menu)
        : QAccessibleWidget(menu, QAccessible::PopupMenu)
    {
    }
    const QList<PushLabel*>& items() const { return static_cast<PopupMenuForm*>(widget())->items(); }
    int childCount() const override { return int(items().size()); }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount() ? QAccessible::queryAccessibleInterface(items()[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(items().indexOf(qobject_cast<PushLabel*>(child->object()))) : -1;
    }
};

QAccessibleInterface* menuFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("PopupMenuForm") && object && object->isWidgetType())
        return new PopupMenuAccessible(static_cast<PopupMenuForm*>(object));
    return nullptr;
}
}

PopupMenuForm::PopupMenuForm(QWidget* parent)
    : SkinnedForm(parent, Qt::Tool)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(menuFactory);
        return true;
    }();
    (void)factoryInstalled;
    setAccessibleDescription("menu");
    bar = new QLabel(this);
    btop = new QLabel(this);
    bottom = new QLabel(this);
    place(btop, kBarWidth, 0, 2400, kImageHeight);
    nextTop_ = kImageHeight;
    addSeparator();
}

PushLabel* PopupMenuForm::addItem(const QString& caption, const QString& hint, PushLabel** hintLabel)
{
    auto* label = new PushLabel(caption, this, PushLabel::Role::MenuItem);
    lastItemTop_ = nextTop_;
    place(label, kBarWidth + 240, nextTop_, 1500, kRow);
    items_ << label;
    if (!hint.isEmpty()) {
        // The hint is told as its item's shortcut, not as an item of its own.
        auto* h = new PushLabel(hint, this, PushLabel::Role::Hint);
        label->setShortcutHint(hint);
        h->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        hints_ << h;
        h->setProperty("row", nextTop_);
        label->setProperty("hinted", true);
        if (hintLabel)
            *hintLabel = h;
    }
    nextTop_ += kRow;
    return label;
}

PushLabel* PopupMenuForm::addCheck()
{
    auto* check = new PushLabel(QString(), this, PushLabel::Role::CheckMark);
    place(check, kBarWidth + 30, lastItemTop_, 210, kRow);
    check->setAlignment(Qt::AlignCenter);
    check->setSymbol(true);
    check->setCaption("a");
    check->hide();
    if (!items_.isEmpty())
        items_.last()->setCheckMark(check);
    return check;
}

PushLabel* PopupMenuForm::addGlyph(const QString& symbol, const QString& accessibleName)
{
    auto* glyph = new PushLabel(QString(), this, PushLabel::Role::MenuItem);
    place(glyph, kBarWidth + 30, lastItemTop_, 210, kRow);
    glyph->setAlignment(Qt::AlignCenter);
    glyph->setSymbol(true);
    glyph->setCaption(symbol);
    glyph->setAccessibleName(accessibleName);
    return glyph;
}

QFrame* PopupMenuForm::addSeparator()
{
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setProperty("row", nextTop_ + kSepRow / 2);
    lines_ << line;
    nextTop_ += kSepRow;
    return line;
}

void PopupMenuForm::finishLayout(int widthTwips)
{
    addSeparator();
    designedWidth_ = widthTwips;
    layoutRows(widthTwips);
    ApplyMenuSkin();
}

void PopupMenuForm::layoutRows(int widthTwips)
{
    const int height = nextTop_ + kImageHeight;
    resize(Twips::toPixels(widthTwips), Twips::toPixels(height));
    for (QFrame* line : lines_)
        place(line, kBarWidth + 30, line->property("row").toInt(), widthTwips - kBarWidth - 60, 15);
    for (QWidget* h : hints_)
        place(h, widthTwips - 1000, h->property("row").toInt(), 900, kRow);
    // Only a row with a hint leaves room for it; the others run the full width.
    for (PushLabel* item : items_)
        item->resize(Twips::toPixels(widthTwips - kBarWidth - 300 - (item->property("hinted").toBool() ? 900 : 0)),
                     item->height());
    place(btop, kBarWidth, 0, widthTwips - kBarWidth, kImageHeight);
}

int PopupMenuForm::neededWidth() const
{
    // The widest caption in its own font, with the room the row leaves around it.
    int widest = 0;
    for (const PushLabel* item : items_) {
        const int text = item->fontMetrics().horizontalAdvance(PushLabel::plainCaption(item->caption()));
        const int hint = item->property("hinted").toBool() ? 900 : 0;
        widest = std::max(widest, Twips::fromPixels(text + 6) + kBarWidth + 300 + hint);
    }
    for (const QWidget* h : hints_) {
        const auto* label = static_cast<const PushLabel*>(h);
        const int text = label->fontMetrics().horizontalAdvance(PushLabel::plainCaption(label->caption()));
        widest = std::max(widest, Twips::fromPixels(text + 6) + 100 + 1500);
    }
    return widest;
}

void PopupMenuForm::ApplySkin() { ApplyMenuSkin(); }

void PopupMenuForm::ApplyMenuSkin()
{
    SkinFolder::Batch batch;
    CommonKit::StayOnTop(this);
    const QString s = SkinFolder::ResolveSkinFolder();
    if (!barOnly_)
        paintMenuColours(s);
    bar->setPixmap(SkinFolder::Picture(s + "bar.bmp"));
    // A skin's font may be wider than the designed one: the menu grows so that no caption is cut.
    fitToCaptions();
    // Only the exact text "False" hides them; a skin change back to another value shows them.
    if (SkinFolder::Value(s, "topnbottomsep") == "False")
        hideTopAndBottomSeparators();
    else if (lines_.size() >= 2) {
        lines_.first()->setHidden(false);
        lines_.last()->setHidden(false);
    }
}

void PopupMenuForm::fitToCaptions()
{
    const int bound = std::max(designedWidth_, Twips::screenWidth() / 2);
    const int widthTwips = std::clamp(neededWidth(), designedWidth_, bound);
    layoutRows(widthTwips);
    for (PushLabel* item : items_)
        item->elideTo(item->width() - 6);
    // The side strip runs the form's height; the bottom image sits on its lower edge. The size
    // is the one just set: the window system may report it later.
    const int w = Twips::toPixels(widthTwips), h = Twips::toPixels(nextTop_ + kImageHeight);
    bar->setGeometry(0, 0, Twips::toPixels(kBarWidth), h);
    const int bottomHeight = bottom->pixmap().isNull() ? Twips::toPixels(kImageHeight) : bottom->pixmap().height();
    bottom->setGeometry(Twips::toPixels(kBarWidth), h - bottomHeight, w - Twips::toPixels(kBarWidth), bottomHeight);
}

void PopupMenuForm::setRecentItem(PushLabel* item, const QString& name, const QString& path)
{
    item->setProperty("tag", path);
    item->setCaption(name);
    item->setToolTip(path);
    item->setAccessibleDescription(path);
}

void PopupMenuForm::paintMenuColours(const QString& s)
{
    const QColor fore = SkinFolder::Colour(s, "fontcolor");
    const QColor back = SkinFolder::Colour(s, "mnubg");
    const QString face = SkinFolder::Value(s, "mnufont");
    QPalette p = palette();
    p.setColor(QPalette::Window, back);
    setPalette(p);
    setAutoFillBackground(true);
    auto style = [&](QWidget* w, bool symbol) {
        setTextColour(w, fore);
        if (!symbol)
            setFontFace(w, face);
    };
    for (PushLabel* item : items_)
        style(item, false);
    for (QWidget* h : hints_)
        style(h, false);
    // Glyph labels (check marks, window glyphs) take the colour but keep their own font.
    for (PushLabel* glyph : findChildren<PushLabel*>())
        if (!items_.contains(glyph) && !hints_.contains(glyph))
            style(glyph, true);
    for (QFrame* line : lines_) {
        QPalette lp = line->palette();
        lp.setColor(QPalette::WindowText, fore);
        line->setPalette(lp);
    }
    btop->setPixmap(SkinFolder::Picture(s + "top.bmp"));
    bottom->setPixmap(SkinFolder::Picture(s + "bottom.bmp"));
}

void PopupMenuForm::hideTopAndBottomSeparators()
{
    if (lines_.size() >= 2) {
        lines_.first()->hide();
        lines_.last()->hide();
    }
}

PushLabel* PopupMenuForm::item(const QString& caption) const
{
    for (PushLabel* i : items_)
        if (i->caption() == caption)
            return i;
    return nullptr;
}

void PopupMenuForm::showAt(int left, int top)
{
    // Esc gives the keys back to the window that had them.
    if (QWidget* before = QApplication::activeWindow(); before && before != this)
        returnTo_ = before;
    // Captions changed while it was hidden (recent files) are fitted as it shows; a size set
    // while hidden may be undone by the window system's late word on the last show.
    fitToCaptions();
    moveTwips(left, top);
    CommonKit::StayOnTop(this);
    show();
    raise();
    activateWindow();
    if (Top() + Height() > Twips::screenHeight())
        setTop(Twips::screenHeight() - Height());
    if (Left() + Width() > Twips::screenWidth())
        setLeft(Twips::screenWidth() - Width());
    // The keys start on the first item, so Down, Up and Enter work at once.
    if (PushLabel* first = nextItem(nullptr, 1))
        first->setFocus(Qt::PopupFocusReason);
}

PushLabel* PopupMenuForm::nextItem(PushLabel* from, int step) const
{
    QList<PushLabel*> usable;
    for (PushLabel* i : items_)
        if (!i->isHidden() && i->isEnabled())
            usable << i;
    if (usable.isEmpty())
        return nullptr;
    const qsizetype at = usable.indexOf(from);
    if (at < 0)
        return step > 0 ? usable.first() : usable.last();
    return usable[(at + step + usable.size()) % usable.size()];
}

void PopupMenuForm::closeToOpener()
{
    hide();
    if (opener_ && opener_->isVisible()) {
        opener_->activateWindow();
        opener_->setFocus(Qt::PopupFocusReason);
    } else if (returnTo_ && returnTo_->isVisible()) {
        returnTo_->activateWindow();
    }
}

void PopupMenuForm::keyPressEvent(QKeyEvent* e)
{
    auto* focused = qobject_cast<PushLabel*>(focusWidget());
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    switch (e->key()) {
    case Qt::Key_Escape:
        closeToOpener();
        return;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (PushLabel* next = nextItem(focused, e->key() == Qt::Key_Down ? 1 : -1))
            next->setFocus(Qt::TabFocusReason);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held Enter presses the item once.
        if (focused && focused->window() == this && !HeldKeys::IsRepeat(e))
            focused->click();
        return;
    default:
        break;
    }
    // A plain letter is the item's mnemonic, as in any menu.
    const QString text = e->text();
    if ((mods == Qt::NoModifier || mods == Qt::ShiftModifier) && text.size() == 1 && text[0].isLetterOrNumber()
        && Mnemonics::press(this, text[0]))
        return;
    SkinnedForm::keyPressEvent(e);
}

void PopupMenuForm::changeEvent(QEvent* e)
{
    // A menu that loses the focus hides, unless a submenu it owns is open.
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && mayHideOnFocusLoss()
        && !openerUnderPointer())
        hide();
    SkinnedForm::changeEvent(e);
}

bool PopupMenuForm::openerUnderPointer() const
{
    // The window system may hand the focus to the caption before the press itself arrives.
    return opener_ && opener_->isVisible() && opener_->rect().contains(opener_->mapFromGlobal(QCursor::pos()));
}
