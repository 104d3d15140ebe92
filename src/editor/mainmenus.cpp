#include "mainmenus.h"

#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu4.h"
#include "editor/menu5.h"
#include "editor/menu7.h"

namespace MainMenus {

namespace {
template <class T> PopupMenuForm* menu(bool load) { return load ? &Forms::get<T>() : Forms::loaded<T>(); }
constexpr int kOffset[4] = {60, 600, 1300, 1750};
}

PopupMenuForm* Caption(int i, bool load)
{
    switch (i) {
    case 0: return menu<menu1>(load);
    case 1: return menu<menu2>(load);
    case 2: return menu<menu3>(load);
    case 3: return menu<menu4>(load);
    }
    return nullptr;
}

int CaptionOffset(int i) { return i >= 0 && i < 4 ? kOffset[i] : 0; }

void HideFilesAndOptions()
{
    for (int i : {0, 1})
        if (PopupMenuForm* m = Caption(i, false))
            m->hide();
}

void HideAll()
{
    for (PopupMenuForm* m : {Caption(0, false), Caption(1, false), Caption(2, false), Caption(3, false),
                             menu<menu5>(false), menu<menu7>(false)})
        if (m)
            m->hide();
}

bool IsOwnWindow(const QWindow* window)
{
    if (!window)
        return false;
    if (const frmmain* main = Forms::loaded<frmmain>(); main && main->windowHandle() == window)
        return true;
    for (const PopupMenuForm* m : {Caption(0, false), Caption(1, false), Caption(2, false), Caption(3, false),
                                   menu<menu5>(false), menu<menu7>(false)})
        if (m && m->windowHandle() == window)
            return true;
    return false;
}

} // namespace MainMenus
