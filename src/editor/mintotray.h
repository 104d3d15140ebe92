#pragma once
#include <QString>

// Hiding the shop to the tray and bringing it back. A running shop listens for a second launch
// of the same program folder, which brings it back (hidden or not) and hands it its file
// instead of starting a second shop.
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

// Starts listening for second launches (at start, and when hidden to the tray).
void Listen();
// Stops listening: before a new instance of this shop starts in its place.
void StopListening();
// At launch: hands the file to a running shop of this folder (true: nothing more to do), or
// else listens, so that a launch at the same moment finds this one.
bool HandOverOrListen(const QString& file);

// A second launch: true when a hidden shop of this program folder answered and was woken, so
// this launch has nothing more to do. The launch's file (its command line, when not empty) goes
// to that shop, which opens it as start-up opens the command-line file.
bool WakeRunningShop(const QString& file = {});
// The same at a given socket; a listener of another user is no shop of ours and is not woken.
bool WakeShopAt(const QString& socketPath, const QString& file = {});
// Where a hidden shop listens: in the user's private runtime folder.
QString ServerName();

} // namespace MinToTray
