#include "heldkeys.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace HeldKeys {

namespace {

class Watcher : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        auto* e = static_cast<QKeyEvent*>(event);
        // An event goes on to the parents of a control that leaves it: it is judged once.
        if (sameAsJudged(e))
            return false;
        Key& k = keys_[e->key()];
        if (event->type() == QEvent::KeyRelease) {
            k.releasedAt = e->timestamp();
            k.released = true;
            return false;
        }
        judged_ = e;
        judgedAt_ = e->timestamp();
        judgedKey_ = e->key();
        // Window systems begin repeating a key only after it has been held a while (a quarter of
        // a second at the least); two quick strokes may share a moment, a repeat must be held.
        repeat_ = e->isAutoRepeat() || (k.released && e->timestamp() == k.releasedAt &&
                                        e->timestamp() - k.pressedAt >= kRepeatDelayMs);
        k.released = false;
        QWidget* focus = QApplication::focusWidget();
        if (!repeat_) {
            k.pressedAt = e->timestamp();
            k.pressedIn = focus ? focus : qobject_cast<QWidget*>(target);
            return false;
        }
        // A repeat does only what its first press did: typing goes on in the same field.
        return (e->modifiers() & Qt::AltModifier) || (focus && focus != k.pressedIn);
    }

    bool isRepeat(const QKeyEvent* e) const
    {
        return e->isAutoRepeat() || (sameAsJudged(e) && repeat_);
    }

private:
    bool sameAsJudged(const QKeyEvent* e) const
    {
        return e == judged_ && e->type() == QEvent::KeyPress && e->timestamp() == judgedAt_ && e->key() == judgedKey_;
    }

    static constexpr ulong kRepeatDelayMs = 150;
    struct Key {
        ulong pressedAt = 0;
        ulong releasedAt = 0;
        bool released = false;
        QPointer<QWidget> pressedIn;
    };
    QHash<int, Key> keys_;
    const QKeyEvent* judged_ = nullptr;
    ulong judgedAt_ = 0;
    int judgedKey_ = 0;
    bool repeat_ = false;
};

Watcher* watcher = nullptr;

} // namespace

void Watch()
{
    if (watcher || !qApp)
        return;
    watcher = new Watcher;
    watcher->setParent(qApp);
    qApp->installEventFilter(watcher);
}

bool IsRepeat(const QKeyEvent* e) { return watcher ? watcher->isRepeat(e) : e->isAutoRepeat(); }

} // namespace HeldKeys
