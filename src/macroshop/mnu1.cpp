#include "mnu1.h"

#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroshop.h"
#include "skin/pushlabel.h"

mnu1::mnu1()
{
    setObjectName("mnu1");
    setAccessibleName("Files menu of the macro shop");
    auto item = [this](int index, const QString& caption) {
        Label1[index] = addItem(caption);
        connect(Label1[index], &PushLabel::clicked, this, [this, index] { Label1_Click(index); });
    };
    item(0, "&open macro");
    item(1, "&save macro");
    item(9, "&new macro");
    item(2, "&clear macro");
    addSeparator();
    for (int i = 3; i <= 5; ++i) {
        item(i, QString());
        Label1[i]->setEmptyName(QStringLiteral("recent macro %1, empty").arg(i - 2));
    }
    addSeparator();
    item(8, "&print...");
    addSeparator();
    item(6, "&minimize");
    item(7, "&exit");
    finishLayout(2400);
    DisplayMRU();
}

void mnu1::DisplayMRU() { ShowMru(Mru::Read("MRU", Mru::Naming::NumberLast)); }

void mnu1::ShowMru(const Mru::List& list)
{
    for (int i = 0; i < 3; ++i)
        setRecentItem(Label1[3 + i], list[i].name, list[i].path);
    fitToCaptions();
}

void mnu1::Label1_Click(int index)
{
    // Print keeps the menu; every other item closes it first.
    if (index != 8)
        hide();
    switch (index) {
    case 0: MacroShop::OpenMacro(); break;
    case 1: MacroShop::SaveMacro(); break;
    case 2:
    case 9: MacroShop::NewMacro(); break;
    case 3:
    case 4:
    case 5: MacroShop::OpenRecent(Label1[index]->property("tag").toString()); break;
    case 6: Forms::get<frmdraw>().showMinimized(); break;
    case 7: MacroShop::Exit(); break;
    case 8: MacroShop::Print(); break;
    }
}
