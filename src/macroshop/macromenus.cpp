#include "macromenus.h"

#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "macroshop/mnu4.h"
#include "macroshop/mnu5.h"
#include "macroshop/mnu6.h"

#include <array>

namespace MacroMenus {

namespace {
template <class T> PopupMenuForm* menu(bool load) { return load ? &Forms::get<T>() : Forms::loaded<T>(); }

std::array<PopupMenuForm*, 7> loadedMenus()
{
    return {menu<mnu1>(false), menu<mnu2>(false), menu<mnu3>(false), menu<mnu4>(false),
            menu<mnu5>(false), menu<mnu6>(false), menu<mnu18>(false)};
}
}

PopupMenuForm* Caption(int i, bool load)
{
    switch (i) {
    case 0: return menu<mnu1>(load);
    case 1: return menu<mnu2>(load);
    case 2: return menu<mnu3>(load);
    case 3: return menu<mnu4>(load);
    case 4: return menu<mnu5>(load);
    }
    return nullptr;
}

void HideAll()
{
    for (PopupMenuForm* m : loadedMenus())
        if (m)
            m->hide();
}

bool IsOwnWindow(const QWindow* window)
{
    if (!window)
        return false;
    if (const frmdraw* draw = Forms::loaded<frmdraw>(); draw && draw->windowHandle() == window)
        return true;
    for (const PopupMenuForm* m : loadedMenus())
        if (m && m->windowHandle() == window)
            return true;
    return false;
}

} // namespace MacroMenus
