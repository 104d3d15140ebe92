#include "menu1.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/quit.h"
#include "editor/frmmain.h"
#include "editor/mintotray.h"
#include "help/frmhelp.h"
#include "skin/pushlabel.h"

menu1::menu1()
{
    setObjectName("menu1");
    setAccessibleName("Files");
    auto action = [this](PushLabel* item, auto&& run) {
        connect(item, &PushLabel::clicked, this, [this, run] {
            hide();
            run();
        });
    };
    auto main = [] { return &Forms::get<frmmain>(); };
    action(addItem("&new ascii"), [main] { main()->clearPages(); });
    action(addItem("&open ascii"), [main] { main()->OpenAscii(); });
    action(addItem("&save ascii"), [main] { main()->SaveAscii(); });
    addSeparator();
    for (int i = 0; i < 3; ++i) {
        mru[i] = addItem(QString());
        PushLabel* item = mru[i];
        action(item, [main, item] { main()->OpenRecent(item->property("tag").toString()); });
    }
    action(addItem("&clear MRU"), [this] {
        Mru::Clear("MRU2");
        DisplayMRU();
    });
    addSeparator();
    rollItem = addItem("&roll up");
    action(rollItem, [main] { main()->RollUpDown(); });
    action(addItem("&minimize"), [main] { main()->Minimize(); });
    action(addItem("&min to tray"), [] { MinToTray::Hide(); });
    action(addItem("&load skin"), [] {});
    addSeparator();
    action(addItem("&intro art"), [] { Help::ShowIntroArt(); });
    action(addItem("&about quorl ascii shop"), [] { Help::ShowAbout(); });
    action(addItem(" &greets"), [] { Help::ShowGreets(); });
    action(addItem("&credits"), [] { Help::ShowCredits(); });
    action(addItem("&notes to peeps"), [] { Help::ShowPersonalNotes(); });
    addSeparator();
    action(addItem("&close"), [] { Quit::FilesMenu(); });
    finishLayout(2700);
    DisplayMRU();
}

QString menu1::rollCaption() const { return rollItem->caption(); }

void menu1::setRollCaption(const QString& caption) { rollItem->setCaption(caption); }

void menu1::DisplayMRU() { ShowMru(Mru::Read("MRU2")); }

void menu1::ShowMru(const Mru::List& list)
{
    for (int i = 0; i < 3; ++i) {
        mru[i]->setProperty("tag", list[i].path);
        mru[i]->setCaption(list[i].name);
    }
}
