#include "docking.h"

#include "chat/ops.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"

namespace Docking {

StepAside::StepAside()
    : main_(Forms::loaded<frmmain>())
    , rect_(Forms::loaded<frmrect>())
{
    if (main_)
        main_->hide();
    if (rect_)
        rect_->hide();
    if (auto* o = Forms::loaded<ops>())
        o->hide();
}

StepAside::~StepAside()
{
    if (main_)
        main_->show();
    if (rect_) {
        rect_->show();
        if (rect_->optionsOpen())
            Forms::get<ops>().show();
    }
}

namespace {
QRect twipsRect(const SkinnedForm& w) { return QRect(w.Left(), w.Top(), w.Width(), w.Height()); }
}

Stack Read()
{
    Stack s;
    s.main = twipsRect(Forms::get<frmmain>());
    s.indicator = twipsRect(Forms::get<frmrect>());
    if (const ops* o = Forms::loaded<ops>()) {
        s.options = twipsRect(*o);
        s.optionsVisible = o->isVisible();
    }
    return s;
}

void Apply(const Stack& s)
{
    frmmain& main = Forms::get<frmmain>();
    if (s.main.topLeft() != QPoint(main.Left(), main.Top()))
        main.moveTwips(s.main.left(), s.main.top());
    Forms::get<frmrect>().moveTwips(s.indicator.left(), s.indicator.top());
    if (ops* o = Forms::loaded<ops>(); o && s.optionsVisible)
        o->moveTwips(s.options.left(), s.options.top());
}

void Dock(Stack& s)
{
    s.indicator.moveTo(s.main.left(), s.main.top() + s.main.height());
    if (s.optionsVisible)
        s.options.moveTo(s.main.left(), s.main.top() + s.main.height() + s.indicator.height());
}

void KeepOnScreen(Stack& s, int screenWidth, int screenHeight)
{
    QRect& m = s.main;
    QRect& i = s.indicator;
    if (m.left() > screenWidth - m.width())
        m.moveLeft(screenWidth - m.width());
    const int bottomLimit =
        screenHeight - m.height() - i.height() - (s.optionsVisible ? s.options.height() : 0);
    if (m.top() > bottomLimit) {
        m.moveTop(bottomLimit);
        Dock(s);
    }
    if (m.left() < 0)
        m.moveLeft(0);
    if (m.top() < 0)
        m.moveTop(0);
    if (i.left() > screenWidth - i.width())
        i.moveLeft(screenWidth - i.width());
    if (i.top() > screenHeight - i.height())
        i.moveTop(screenHeight - i.height());
    if (i.left() < 0)
        i.moveLeft(0);
    if (m.top() + m.height() > i.top())
        i.moveTop(m.top() + m.height());
    Dock(s);
}

bool InWindowMenuZone(int x, int y) { return x >= -130 && x <= 3720 && y >= 0 && y <= 230; }

QPoint WindowMenuPlace(const QRect& main, int x, int y) { return {main.left() + x + 140, main.top() + y + 45}; }

int MainTopForMenu(int menuTop, int mainHeight, bool rolledUp)
{
    return rolledUp ? menuTop - mainHeight : menuTop - mainHeight + 1695;
}

void OpenOptions(Stack& s, int screenHeight)
{
    s.optionsVisible = true;
    s.options.moveTo(s.main.left(), s.main.top() + s.main.height() + s.indicator.height());
    if (s.options.top() > screenHeight - s.options.height()) {
        s.main.moveTop(screenHeight - s.main.height() - s.options.height() - s.indicator.height());
        Dock(s);
    }
}

} // namespace Docking
