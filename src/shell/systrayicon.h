#pragma once

class QSystemTrayIcon;

// The shop's icon in the desktop's tray. It exists from the main window's load until a quit; a
// click or a double-click on it brings the windows back (some trays never send a double-click),
// its context menu is the tray menu of Form1.
namespace systrayicon {

// Adds the icon; adding while it exists has no effect.
void AddTrayIcon();
// Removes the icon.
void RemoveTrayIcon();
// True while a tray on this desktop can hold the icon.
bool TrayAvailable();
// The icon while added, else nullptr.
QSystemTrayIcon* Icon();

} // namespace systrayicon
