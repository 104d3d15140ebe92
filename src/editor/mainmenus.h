#pragma once

class PopupMenuForm;
class QWindow;

// The popup menus of the main window: the four caption menus, the submenu and the window menu.
namespace MainMenus {

// The caption menus by position: 0 Files, 1 Options, 2 Edit, 3 Help. With load the menu is
// loaded when needed; without, nullptr when it is not loaded.
PopupMenuForm* Caption(int i, bool load);
// Left of caption menu i relative to the main window, in twips.
int CaptionOffset(int i);

// Most presses on the main window close the Files and Options menus.
void HideFilesAndOptions();
// Every loaded menu of the main window.
void HideAll();
// The main window and its menus; the focus elsewhere closes the menus.
bool IsOwnWindow(const QWindow* window);

} // namespace MainMenus
