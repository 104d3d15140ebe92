#include "menu5.h"

#include "chat/chatcommands.h"
#include "core/forms.h"
#include "editor/addascii.h"
#include "editor/menu2.h"
#include "help/frmhelp.h"
#include "mail/frmbug.h"
#include "mail/frmemail.h"
#include "skin/pushlabel.h"

menu5::menu5()
{
    setObjectName("menu5");
    setAccessibleName("other options menu of the shop");
    // Every item closes the submenu first; all but the two scrolls close the Options menu too.
    auto item = [this](const QString& caption, bool closeOptions, auto&& run) {
        PushLabel* label = addItem(caption);
        connect(label, &PushLabel::clicked, this, [this, closeOptions, run] {
            hide();
            if (closeOptions)
                if (auto* options = Forms::loaded<menu2>())
                    options->hide();
            run();
        });
        return label;
    };
    item("&scroll greets", false, [] { ChatCommands::ScrollGreets(); });
    item("&scroll credits", false, [] { ChatCommands::ScrollCredits(); });
    addSeparator();
    item("&add ascii string", true, [] {
        addascii& dialog = Forms::get<addascii>();
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
    });
    item("&email me", true, [] { Forms::get<frmemail>().show(); });
    item("&report bug", true, [] { Forms::get<frmbug>().show(); });
    item("&im me", true, [] { ChatCommands::ImMe("Sup"); });
    item("&beta testers", true, [] { Help::ShowBetaTesters(); });
    addSeparator();
    for (int n = 0; n < 3; ++n)
        item(ChatCommands::WebAddress(n), true, [n] { ChatCommands::OpenWebAddress(n); });
    // Wide enough for the web addresses.
    finishLayout(3300);
}
