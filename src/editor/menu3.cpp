#include "menu3.h"

#include "core/forms.h"
#include "editor/editcommands.h"
#include "editor/frmmain.h"
#include "skin/pushlabel.h"

menu3::menu3()
{
    setObjectName("menu3");
    setAccessibleName("Edit menu of the shop");
    auto bind = [this](PushLabel* label, auto&& run) { onClick(label, [run] { run(Forms::get<frmmain>()); }); };
    auto both = [&](const char* caption, const char* hint, auto&& run) {
        PushLabel* h = nullptr;
        bind(addItem(caption, hint, &h), run);
        bind(h, run);
    };
    using K = frmmain::EditKey;
    both("&undo", "Ctrl + Z", [](frmmain& m) { m.SendEditKey(K::Undo); });
    both("&cut", "Ctrl + X", [](frmmain& m) { m.SendEditKey(K::Cut); });
    both("&copy", "Ctrl + C", [](frmmain& m) { m.SendEditKey(K::Copy); });
    both("&paste", "Ctrl + V", [](frmmain& m) { m.SendEditKey(K::Paste); });
    both("&delete", "Del", [](frmmain& m) { m.DeleteSelection(); });
    PushLabel* selectHint = nullptr;
    bind(addItem("&select all", "Ctrl + A", &selectHint), [](frmmain& m) { m.SelectAllActive(true); });
    bind(selectHint, [](frmmain& m) { m.SelectAllActive(false); });
    addSeparator();
    bind(addItem("&copy all fields"), [](frmmain& m) { m.CopyAllFields(); });
    bind(addItem("copy for &IRC"), [](frmmain& m) { EditCommands::CopyForIrc(m); });
    bind(addItem("&clear all fields"), [](frmmain& m) { m.clearPages(); });
    finishLayout(2400);
}
