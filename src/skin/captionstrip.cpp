#include "captionstrip.h"

#include "platform/twips.h"
#include "skin/popupmenuform.h"
#include "skin/pushlabel.h"
#include "skin/skinnedform.h"

#include <QCursor>
#include <QShortcut>
#include <QWindow>

CaptionStrip::CaptionStrip(SkinnedForm* window, MouseLabel* title) : QObject(window), window_(window), title_(title)
{
}

void CaptionStrip::press(int x, int y)
{
    if (manualMove_)
        return;
    press_ = QPoint(x, y);
}

bool CaptionStrip::follow(int x, int y)
{
    if (!press_)
        return false;
    window_->moveTwips(window_->Left() - (press_->x() - x), window_->Top() - (press_->y() - y));
    return true;
}

void CaptionStrip::release()
{
    press_.reset();
    endManualMove();
}

bool CaptionStrip::startMove()
{
    if (QWindow* w = window_->windowHandle(); w && w->startSystemMove())
        return true;
    // No move by the platform: the title carries the window from where the pointer now is.
    const QPoint at = title_->mapFromGlobal(QCursor::pos());
    press_ = QPoint(Twips::fromPixels(at.x()), Twips::fromPixels(at.y()));
    manualMove_ = true;
    title_->setMouseTracking(true);
    title_->grabMouse();
    return false;
}

void CaptionStrip::endManualMove()
{
    if (!manualMove_)
        return;
    manualMove_ = false;
    title_->releaseMouse();
    title_->setMouseTracking(false);
    title_->unsetCursor();
}

void CaptionStrip::setCaptions(Captions captions)
{
    captions_ = std::move(captions);
    for (int i = 0; i < int(captions_.labels.size()); ++i) {
        PushLabel* label = captions_.labels[i];
        label->setMouseTracking(true);
        connect(label, &MouseLabel::mousePressed, this, [this, i](Qt::MouseButton button, int, int) {
            if (button == Qt::LeftButton)
                toggle(i);
        });
        connect(label, &MouseLabel::mouseMoved, this, [this, i] { hover(i); });
        label->setPressAction([this, i] { toggle(i); });
    }
}

void CaptionStrip::setWindowMenuKeys(std::function<void()> open)
{
    for (const QKeySequence& keys : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, window_);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, open);
    }
}

void CaptionStrip::toggle(int i)
{
    PopupMenuForm* menu = captions_.menu(i, true);
    menu->setOpener(captions_.labels[i]);
    if (captions_.before)
        captions_.before(menu);
    if (menu->isVisible()) {
        menu->hide();
        return;
    }
    for (int j = 0; j < int(captions_.labels.size()); ++j)
        if (j != i && (!captions_.closes || captions_.closes(i, j)))
            if (PopupMenuForm* other = captions_.menu(j, false))
                other->hide();
    window_->activateWindow();
    captions_.show(i, menu);
}

void CaptionStrip::hover(int i)
{
    const PopupMenuForm* mine = captions_.menu(i, false);
    if (mine && mine->isVisible())
        return;
    bool otherOpen = false;
    for (int j = 0; j < int(captions_.labels.size()); ++j)
        if (const PopupMenuForm* m = captions_.menu(j, false); j != i && m && m->isVisible())
            otherOpen = true;
    if (!otherOpen)
        return;
    for (int j = 0; j < int(captions_.labels.size()); ++j)
        if (PopupMenuForm* m = captions_.menu(j, false); j != i && m)
            m->hide();
    toggle(i);
}
