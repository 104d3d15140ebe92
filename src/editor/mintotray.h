#pragma once

// Hiding the shop to the tray and bringing it back. Until the tray icon exists a hidden shop
// listens for a second launch of the same program folder, which brings it back instead of
// starting a second shop.
namespace MinToTray {

// Files menu "&min to tray": the main window, the indicator and the options panel go to the
// tray. Where the desktop has no tray they are minimized instead, so they stay reachable.
void Hide();
// Window menu "&minimize to tray": also the other windows of the shop that may be open.
void HideAll();
// Shows the main window, the indicator and, when the indicator records it open, the options panel;
// a minimized main window is restored unless restoreState is false.
void Restore(bool restoreState = true);
// True while the shop is hidden to the tray.
bool IsHidden();

// A second launch: true when a hidden shop of this program folder answered and was woken, so
// this launch has nothing more to do.
bool WakeRunningShop();

} // namespace MinToTray
