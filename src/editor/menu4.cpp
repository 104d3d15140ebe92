#include "menu4.h"

#include "help/frmhelp.h"
#include "skin/pushlabel.h"

menu4::menu4()
{
    setObjectName("menu4");
    setAccessibleName("Help");
    auto action = [this](PushLabel* item, auto&& run) {
        connect(item, &PushLabel::clicked, this, [this, run] {
            hide();
            run();
        });
    };
    action(addItem("&help topics"), [] { Help::ShowHelp(); });
    action(addItem("&about quorl ascii shop"), [] { Help::ShowAbout(); });
    action(addItem("&credits"), [] { Help::ShowCredits(); });
    finishLayout(2250);
}
