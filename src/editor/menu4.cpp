#include "menu4.h"

#include "help/frmhelp.h"
#include "skin/pushlabel.h"
#include "skin/reskin.h"

menu4::menu4()
{
    setObjectName("menu4");
    setAccessibleName("Help menu of the shop");
    onClick(addItem("&help topics"), [] { Help::ShowHelp(); });
    onClick(addItem("&about quorl ascii shop"), [] { Help::ShowAbout(); });
    onClick(addItem("&credits"), [] { Help::ShowCredits(); });
    onClick(addItem("&about skin"), [] { Reskin::ShowSkinInfo(); });
    finishLayout(2250);
}
