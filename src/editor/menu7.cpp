#include "menu7.h"

#include "core/forms.h"
#include "core/lifecycle.h"
#include "editor/frmmain.h"
#include "editor/mintotray.h"
#include "platform/clock.h"
#include "skin/pushlabel.h"

#include <QCursor>

menu7::menu7()
{
    setObjectName("menu7");
    setAccessibleName("window menu of the shop");
    // "&restore", "&size" and the glyphs beside them do nothing: the main window has one size.
    addItem("&restore");
    addGlyph("2", "restore");
    onClick(addItem("&move"), [this] { Move_Click(); });
    addItem("&size");
    onClick(addItem("&minimize"), [] { Forms::get<frmmain>().Minimize(); });
    addGlyph("0", "minimize");
    onClick(addItem("&minimize to tray"), [] { MinToTray::HideAll(); });
    onClick(addItem("&maximize"), [] {});
    maximizeGlyph = addGlyph("1", "maximize");
    onClick(maximizeGlyph, [] {});
    addSeparator();
    onClick(addItem("&close"), [] { Lifecycle::Quit(Lifecycle::QuitCommand::WindowMenu); });
    addGlyph("r", "close");
    finishLayout(2250);
}

void menu7::Move_Click()
{
    hide();
    frmmain& main = Forms::get<frmmain>();
    QCursor::setPos(main.pos() + QPoint(120, 8));
    main.Label1->setCursor(Qt::SizeAllCursor);
    for (int i = 0; i < 3; ++i) {
        main.activateWindow();
        Clock::processEvents();
    }
    main.StartMove();
    main.Label1->unsetCursor();
}
