#include "charmapfollow.h"

#include "core/forms.h"
#include "editor/frmasc.h"
#include "skin/skinnedform.h"

#include <QEvent>
#include <QWidget>

CharMapFollow::CharMapFollow(QWidget* shop) : QObject(shop), shop_(shop) { shop->installEventFilter(this); }

bool CharMapFollow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != shop_ || e->type() != QEvent::WindowStateChange)
        return false;
    frmasc* map = Forms::loaded<frmasc>();
    if (shop_->isMinimized()) {
        if (map && map->isVisible()) {
            map->hide();
            mapAway_ = true;
        }
    } else if (mapAway_) {
        mapAway_ = false;
        if (map) {
            map->DockBeside(*static_cast<SkinnedForm*>(shop_));
            map->show();
        }
    }
    return false;
}
