#include "pushlabel.h"
#include "skin/heldkeys.h"

#include "platform/twips.h"
#include "skin/mnemonics.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace {

// "&Ok" shown as Ok with the O underlined; "&&" is a literal ampersand.
QString richCaption(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == '&' && i + 1 < caption.size()) {
            const QChar n = caption[++i];
            if (n == '&')
                out += "&amp;";
            else
                out += "<u>" + QString(n).toHtmlEscaped() + "</u>";
        } else {
            out += QString(c).toHtmlEscaped();
        }
    }
    // Blanks are kept as typed (captions start with some) while long prompts still wrap.
    return "<span style=\"white-space:pre-wrap\">" + out + "</span>";
}

// A modal window open elsewhere blocks the label as it blocks the mouse: only the modal window
// itself and the windows it owns take input.
bool blockedByModal(const QWidget* label)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    for (const QWidget* w = label->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == modal)
            return false;
    return true;
}

class PushLabelAccessible : public QAccessibleWidget {
public:
    explicit PushLabelAccessible(PushLabel* label)
        : QAccessibleWidget(label, roleOf(label->role()))
    {
    }

    static QAccessible::Role roleOf(PushLabel::Role role)
    {
        switch (role) {
        case PushLabel::Role::MenuItem: return QAccessible::MenuItem;
        // The mark tells its item's state; the item is what a reader presses.
        case PushLabel::Role::CheckMark: return QAccessible::Graphic;
        case PushLabel::Role::Hint: return QAccessible::StaticText;
        case PushLabel::Role::Button: break;
        }
        return QAccessible::Button;
    }

    PushLabel* label() const { return static_cast<PushLabel*>(widget()); }
    bool acts() const { return label()->role() == PushLabel::Role::Button || label()->role() == PushLabel::Role::MenuItem; }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (label()->checkMark()) {
            s.checkable = true;
            s.checked = label()->checked();
        }
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        auto* label = static_cast<PushLabel*>(widget());
        if (t == QAccessible::Name) {
            if (label->role() == PushLabel::Role::CheckMark)
                return QStringLiteral("check mark");
            return label->accessibleName().isEmpty() ? PushLabel::plainCaption(label->caption())
                                                     : label->accessibleName();
        }
        if (t == QAccessible::Accelerator && !label->shortcutHint().isEmpty())
            return label->shortcutHint();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return acts() ? QStringList{pressAction()} : QStringList{}; }

    void doAction(const QString& action) override
    {
        // Queued, so the assistive client gets its answer before the action runs (which may
        // open a modal box or end the program).
        if (action != pressAction() || blockedByModal(label()))
            return;
        QMetaObject::invokeMethod(
            label(),
            [label = QPointer<PushLabel>(label())] {
                // A modal box that opened meanwhile blocks it too.
                if (label && !blockedByModal(label))
                    label->click();
            },
            Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        const QChar m = Mnemonics::letterOf(label()->caption());
        QStringList keys;
        if (action != pressAction())
            return keys;
        if (!m.isNull())
            keys << "Alt+" + QString(m.toUpper());
        if (!label()->shortcutHint().isEmpty())
            keys << QKeySequence(QString(label()->shortcutHint()).remove(' ')).toString();
        return keys;
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("PushLabel") && object && object->isWidgetType())
        return new PushLabelAccessible(static_cast<PushLabel*>(object));
    return nullptr;
}

} // namespace

MouseLabel::MouseLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::RichText);
}

MouseLabel::MouseLabel(const QString& caption, QWidget* parent)
    : MouseLabel(parent)
{
    setCaption(caption);
}

void MouseLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    const QString glyph = symbol_ ? glyphFor(caption) : QString();
    setText(glyph.isEmpty() ? richCaption(caption) : glyph);
}

void MouseLabel::setSymbol(bool symbol)
{
    symbol_ = symbol;
    setCaption(caption_);
}

QString MouseLabel::glyphFor(const QString& symbol)
{
    // Symbol-font glyphs of the Windows design: check mark "a", arrows "5" (up) and "6" (down).
    if (symbol == QLatin1String("a"))
        return QStringLiteral("\u2714");
    if (symbol == QLatin1String("5"))
        return QStringLiteral("\u25B2");
    if (symbol == QLatin1String("6"))
        return QStringLiteral("\u25BC");
    // The window-menu glyphs: minimize "0", maximize "1", restore "2", close "r".
    if (symbol == QLatin1String("0"))
        return QStringLiteral("\u2581");
    if (symbol == QLatin1String("1"))
        return QStringLiteral("\u25A1");
    if (symbol == QLatin1String("2"))
        return QStringLiteral("\u2750");
    if (symbol == QLatin1String("r"))
        return QStringLiteral("\u2715");
    return {};
}

void MouseLabel::mousePressEvent(QMouseEvent* e)
{
    pressedInside_ = e->button() == Qt::LeftButton;
    const QPoint p = e->position().toPoint();
    emit mousePressed(e->button(), Twips::fromPixels(p.x()), Twips::fromPixels(p.y()));
}

void MouseLabel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit mouseMoved(e->buttons(), Twips::fromPixels(p.x()), Twips::fromPixels(p.y()));
}

void MouseLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const bool click = pressedInside_ && e->button() == Qt::LeftButton && rect().contains(p);
    pressedInside_ = false;
    emit mouseReleased(e->button(), Twips::fromPixels(p.x()), Twips::fromPixels(p.y()));
    if (click)
        emit clicked();
}

void MouseLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double click is one press, one click and then the double-click event: its second press
    // neither presses nor clicks again, so no command runs twice. Its release still reports.
    pressedInside_ = false;
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
}

PushLabel::PushLabel(const QString& caption, QWidget* parent, Role role)
    : MouseLabel(parent)
    , role_(role)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    // No hover look: the pointer stays the arrow over buttons and menu items. Marks and hints
    // belong to their item and take no focus of their own.
    setFocusPolicy(role == Role::CheckMark || role == Role::Hint ? Qt::NoFocus : Qt::TabFocus);
    setCaption(caption);
}

QString PushLabel::plainCaption(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out.trimmed();
}

void PushLabel::setCaption(const QString& caption)
{
    MouseLabel::setCaption(caption);
    // A glyph's caption is its state, not its name: glyph labels keep the name they were given.
    if (role_ == Role::CheckMark)
        setAccessibleName({});
    else if (!symbol())
        setAccessibleName(plainCaption(caption).isEmpty() ? emptyName_ : plainCaption(caption));
    updateMnemonic();
}

void PushLabel::elideTo(int width)
{
    if (symbol())
        return;
    const QString plain = plainCaption(caption());
    if (fontMetrics().horizontalAdvance(plain) <= width) {
        MouseLabel::setCaption(caption());
        return;
    }
    const QString shown = fontMetrics().elidedText(plain, Qt::ElideMiddle, width);
    setText("<span style=\"white-space:pre\">" + shown.toHtmlEscaped() + "</span>");
}

void PushLabel::setEmptyName(const QString& name)
{
    emptyName_ = name;
    setCaption(caption());
}

void PushLabel::click()
{
    if (pressAction_)
        pressAction_();
    else
        emit clicked();
}

void PushLabel::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // One press per key-down, as a button: a held key's repeats press nothing.
        if (!HeldKeys::IsRepeat(e))
            click();
        return;
    }
    MouseLabel::keyPressEvent(e);
}

void PushLabel::paintEvent(QPaintEvent* e)
{
    MouseLabel::paintEvent(e);
    if (!hasFocus())
        return;
    // The focus frame in the label's own text colour, which is the skin's, its gaps in a colour
    // far from it: a skin whose buttons have a border of the text's colour still shows it.
    QPainter p(this);
    const QColor text = palette().color(foregroundRole());
    const QRect edge = rect().adjusted(0, 0, -1, -1);
    p.setPen(QPen(qGray(text.rgb()) > 127 ? QColor(Qt::black) : QColor(Qt::white), 1));
    p.drawRect(edge);
    p.setPen(QPen(text, 1, Qt::DotLine));
    p.drawRect(edge);
}

void PushLabel::setCheckMark(QWidget* mark)
{
    if (checkMark_)
        checkMark_->removeEventFilter(this);
    checkMark_ = mark;
    if (mark)
        mark->installEventFilter(this);
}

bool PushLabel::eventFilter(QObject* watched, QEvent* e)
{
    // The mark shown or hidden is the item checked or not: a reader hears the change.
    if (watched == checkMark_ && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent)) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    return MouseLabel::eventFilter(watched, e);
}

void PushLabel::updateMnemonic()
{
    const QChar m = Mnemonics::letterOf(caption());
    if (m.isNull()) {
        delete shortcut_;
        shortcut_ = nullptr;
        return;
    }
    if (!shortcut_) {
        shortcut_ = new QShortcut(this);
        shortcut_->setContext(Qt::WindowShortcut);
        // A held Alt+letter presses once.
        shortcut_->setAutoRepeat(false);
        // Qt tells a letter several labels share as ambiguous; both go to the window's cycle.
        const auto press = [this] { Mnemonics::press(window(), Mnemonics::letterOf(caption())); };
        connect(shortcut_, &QShortcut::activated, this, press);
        connect(shortcut_, &QShortcut::activatedAmbiguously, this, press);
    }
    shortcut_->setKey(QKeySequence("Alt+" + QString(m.toUpper())));
}
