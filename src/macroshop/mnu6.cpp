#include "mnu6.h"

#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroshop.h"
#include "platform/clock.h"
#include "skin/pushlabel.h"

#include <QCursor>

mnu6::mnu6()
{
    setObjectName("mnu6");
    setAccessibleName("window menu of the macro shop");
    // "&size" and the glyphs beside the items do nothing.
    onClick(addItem("&restore"), [] { Forms::get<frmdraw>().RestoreSize(); });
    addGlyph("2", "restore");
    onClick(addItem("&move"), [this] { Move_Click(); });
    addItem("&size");
    onClick(addItem("&minimize"), [] { Forms::get<frmdraw>().showMinimized(); });
    addGlyph("0", "minimize");
    onClick(addItem("&maximize"), [] { Forms::get<frmdraw>().Maximize(); });
    maximizeGlyph = addGlyph("1", "maximize");
    onClick(maximizeGlyph, [] {});
    addSeparator();
    onClick(addItem("&close"), [] { MacroShop::Exit(); });
    addGlyph("r", "close");
    finishLayout(2250);
}

void mnu6::Move_Click()
{
    frmdraw& draw = Forms::get<frmdraw>();
    // A shop that fills the screen has no place to go: it takes its size back first, so a
    // restore or a double-click on the title afterwards does what it says.
    draw.RestoreSize();
    QCursor::setPos(draw.pos() + QPoint(180, 8));
    hide();
    draw.Label1->setCursor(Qt::SizeAllCursor);
    for (int i = 0; i < 3; ++i) {
        draw.activateWindow();
        Clock::processEvents();
    }
    draw.StartMove();
    draw.Label1->unsetCursor();
}
