#pragma once
#include <QPointer>
#include <QRect>

class frmmain;
class frmrect;

// Where the docked stack goes: the indicator panel directly under the main window, the options
// panel under the indicator. All rectangles are in twips; the rules work on plain rectangles and
// Read/Apply connect them to the windows.
namespace Docking {

struct Stack {
    QRect main;
    QRect indicator;
    QRect options;
    bool optionsVisible = false;
};

// The stack as the windows stand now (the main window and the indicator are loaded if needed),
// and the windows moved to where a stack says.
Stack Read();
void Apply(const Stack& s);

// Indicator under the main window; the options panel under the indicator while it is visible.
void Dock(Stack& s);

// After a caption drag: pulls the main window in from the right and from below (leaving room for
// the indicator and a visible options panel), then from the left and the top, keeps the indicator
// on the screen and below the main window, and docks again.
void KeepOnScreen(Stack& s, int screenWidth, int screenHeight);

// The title release opens the window menu only inside this zone (twips, relative to the title).
bool InWindowMenuZone(int x, int y);
// The window menu's place for a release at x, y on the title.
QPoint WindowMenuPlace(const QRect& main, int x, int y);

// A menu opened from the caption strip that had to move up to stay on the screen takes the
// main window with it, so that the menu still hangs from the caption strip.
int MainTopForMenu(int menuTop, int mainHeight, bool rolledUp);

// The options panel opened by the indicator's toggle: below the indicator, and when that would
// reach below the screen the whole stack moves up so its bottom meets the screen's bottom.
void OpenOptions(Stack& s, int screenHeight);

// While a box or file dialog is open the topmost stack would cover it: the main window, the
// indicator and the options panel step aside, and come back when this ends (the options panel
// only when the indicator records it open). Windows unloaded meanwhile stay gone.
class StepAside {
public:
    StepAside();
    ~StepAside();
    StepAside(const StepAside&) = delete;
    StepAside& operator=(const StepAside&) = delete;

private:
    QPointer<frmmain> main_;
    QPointer<frmrect> rect_;
};

} // namespace Docking
