#pragma once
#include "platform/chatbus.h"

#include <QString>

// The operations on the chat client's windows. Windows are found by class; a missing window is
// handle 0 and nothing reports a failure.
namespace CommonKit {

using ChatBus::HWND;

HWND FindMainFrame();
// The first "Chat Child" of the frame's MDIClient that has the room's controls.
HWND FindChatRoom();
HWND FindChatRoomClassic();
// The text goes as one message, whatever its lines. Returns the input box used, or 0 when the
// message did not go (no room, or the client did not answer its Enter).
HWND SendChatText(const QString& text);
// As SendChatText, falling back to the classic room's input.
HWND SendChatTextAny(const QString& text);
// Returns the keyword box used, or 0.
HWND RunKeyword(const QString& keyword);
// Positions count from 0. Returns the command id sent, or 0.
quint32 RunMenuCommand(int menu, int item);
// Fills the instant message box without sending. Returns the box, or 0.
HWND SendInstantMessage(const QString& name, const QString& message);
QString ReadWindowText(HWND hwnd);
HWND FindUploadWindow();
// Waits, keeping the UI live, for the wait window and clicks its icon. Gives up after
// ClickWaitTimeout seconds; returns whether it clicked.
constexpr double ClickWaitTimeout = 30.0;
bool ClickWaitWindow();
// Lets the user chat during an upload (on) or gives the frame back to the upload (off).
void SetUpchat(bool on);

} // namespace CommonKit
