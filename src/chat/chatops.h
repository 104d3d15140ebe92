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
// Whether the last SendChatText's text reached an input box: true with a 0 from it, the text
// may stand in the box without its Enter.
bool LastTextTaken();
// A scroll runs as one operation whatever its length; each message keeps its own bound inside.
constexpr double ScrollOperationSeconds = 24 * 3600.0;
// How a scroll of chat messages ended: the messages that went, of all, and why the rest did not.
struct ScrollEnd {
    enum class Why { None, Loss, Replaced, NoRoom };
    int sent = 0;
    int count = 0;
    Why why = Why::None;
    ChatBus::Loss loss = ChatBus::Loss::None;
    bool inputMayHold = false; // the missed message's text reached the input box, its Enter not
};
// Follows the client of one scroll of messages (macro lines, pages): a client that took
// messages and then went, was replaced by another process, lost its room or stopped answering
// ends the scroll. Without a client at all the messages go into nothing and nothing is said.
class ScrollWatch {
public:
    ScrollWatch();
    // Before a message: false (and *end says why) when the client is no longer the one the
    // scroll began with.
    bool before(ScrollEnd* end);
    // After a message, given what SendChatText answered: false when the rest is not to be sent.
    bool after(HWND sent, ScrollEnd* end);

private:
    QString owner_;
};
// The sentence that tells the user a scroll ended early ("macro scroll", "lines", "the rest of
// the macro was not sent"); empty for one that ran through.
QString ScrollEndSentence(const ScrollEnd& end, const QString& scroll, const QString& unit, const QString& rest);
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
