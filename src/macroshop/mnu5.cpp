#include "mnu5.h"

#include "help/frmhelp.h"
#include "skin/pushlabel.h"

mnu5::mnu5()
{
    setObjectName("mnu5");
    setAccessibleName("Help menu of the macro shop");
    onClick(addItem("&help"), [] { Help::ShowHelp(); });
    onClick(addItem("&about quorl ascii shop"), [] { Help::ShowAbout(); });
    finishLayout(2700);
}
