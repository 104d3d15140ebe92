#pragma once

class PopupMenuForm;
class QWindow;

// The popup menus of the macro shop: the five caption menus, the window menu and the list of
// built-in macros.
namespace MacroMenus {

// The caption menus by position: 0 Files, 1 Options, 2 Strings, 3 Edit, 4 Help. With load the
// menu is loaded when needed; without, nullptr when it is not loaded.
PopupMenuForm* Caption(int i, bool load);
void HideAll();
// The macro shop and its menus; the focus elsewhere closes the menus.
bool IsOwnWindow(const QWindow* window);

} // namespace MacroMenus
