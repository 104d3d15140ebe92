#include "menu1.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "editor/frmmain.h"
#include "editor/mintotray.h"
#include "effects/applyfilter.h"
#include "help/frmhelp.h"
#include "macroshop/macroshop.h"
#include "skin/frmloadskin.h"
#include "skin/pushlabel.h"

menu1::menu1()
{
    setObjectName("menu1");
    setAccessibleName("Files menu of the shop");
    auto main = [] { return &Forms::get<frmmain>(); };
    onClick(addItem("&new ascii"), [main] { main()->clearPages(); });
    onClick(addItem("&open ascii"), [main] { main()->OpenAscii(); });
    onClick(addItem("&save ascii"), [main] { main()->SaveAscii(); });
    addSeparator();
    for (int i = 0; i < 3; ++i) {
        mru[i] = addItem(QString());
        mru[i]->setEmptyName(QStringLiteral("recent file %1, empty").arg(i + 1));
        PushLabel* item = mru[i];
        onClick(item, [main, item] { main()->OpenRecent(item->property("tag").toString()); });
    }
    onClick(addItem("&clear MRU"), [this] {
        Mru::Clear("MRU2");
        DisplayMRU();
    });
    addSeparator();
    rollItem = addItem("&roll up");
    onClick(rollItem, [main] { main()->RollUpDown(); });
    onClick(addItem("&minimize"), [main] { main()->Minimize(); });
    onClick(addItem("&min to tray"), [] { MinToTray::Hide(); });
    onClick(addItem("&load skin"), [] {
        // The chooser reads the filters as it loads: unloaded here, it lists them afresh.
        Forms::unload<applyfilter>();
        frmloadskin::Open();
    });
    addSeparator();
    onClick(addItem("&intro art"), [] { Help::ShowIntroArt(); });
    onClick(addItem("&about quorl ascii shop"), [] { Help::ShowAbout(); });
    onClick(addItem(" &greets"), [] { Help::ShowGreets(); });
    onClick(addItem("&credits"), [] { Help::ShowCredits(); });
    onClick(addItem("&notes to peeps"), [] {
        Help::ShowPersonalNotes();
        MacroShop::ShowChatList();
    });
    addSeparator();
    onClick(addItem("&close"), [] { Lifecycle::Quit(Lifecycle::QuitCommand::FilesMenu); });
    finishLayout(2700);
    DisplayMRU();
}

QString menu1::rollCaption() const { return rollItem->caption(); }

void menu1::setRollCaption(const QString& caption) { rollItem->setCaption(caption); }

void menu1::DisplayMRU() { ShowMru(Mru::Read("MRU2")); }

void menu1::ShowMru(const Mru::List& list)
{
    for (int i = 0; i < 3; ++i)
        setRecentItem(mru[i], list[i].name, list[i].path);
    fitToCaptions();
}
