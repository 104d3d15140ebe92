#pragma once
#include <QString>

// The chat commands of the options panel and of the main window's Options menu and its
// submenu: scrolling the pages and the fixed texts, advertising, kill wait, instant messages,
// keywords and the link dialog.
namespace ChatCommands {

// Every non-empty page as one chat message, 0.4 s after each.
void ScrollAllPages();
void ScrollGreets();
void ScrollCredits();
// The advertising banner from the options panel, resp. the Options menu.
void AdvertizeFromPanel();
void AdvertizeFromMenu();
// Closes the chat client's wait window, asking once for its menu number.
void KillWait();
// An instant message to the shop's own screen name.
void ImMe(const QString& message);
// The chat-room link of "&pr gly".
void PrGly();
// The three web addresses of the other-options menu (n = 0..2): their captions and keywords.
QString WebAddress(int n);
void OpenWebAddress(int n);
// Opens the link dialog.
void ShowLinkDialog();

} // namespace ChatCommands
