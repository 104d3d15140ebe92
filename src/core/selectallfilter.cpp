#include "selectallfilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace SelectAllFilter {

namespace {
class Filter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->modifiers() == Qt::ControlModifier && k->key() == Qt::Key_A) {
                auto* box = static_cast<QLineEdit*>(watched);
                box->setSelection(0, int(box->text().size()));
                return true;
            }
        }
        return false;
    }
};
}

void install(QLineEdit* box) { box->installEventFilter(new Filter(box)); }

} // namespace SelectAllFilter
