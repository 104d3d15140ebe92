#pragma once
#include <QByteArray>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QString>

// The chat client's windows, reached over the session bus with the desktop calls' names and
// meaning. Texts cross as Windows-1252 bytes, unchanged. Without a client every call answers 0
// (GetMenuItemID 0xFFFFFFFF) at once and says nothing.
namespace ChatBus {

using HWND = quint32;
using HMENU = quint32;

constexpr quint32 WM_ACTIVATE = 0x0006;
constexpr quint32 WM_SETTEXT = 0x000C;
constexpr quint32 WM_GETTEXT = 0x000D;
constexpr quint32 WM_GETTEXTLENGTH = 0x000E;
constexpr quint32 WM_CHAR = 0x0102;
constexpr quint32 WM_COMMAND = 0x0111;
constexpr quint32 WM_LBUTTONDOWN = 0x0201;
constexpr quint32 WM_LBUTTONUP = 0x0202;
constexpr quint32 NoMenuItem = 0xFFFFFFFF;

// Empty title: any title. Parent 0: top-level windows.
HWND FindWindowA(const QByteArray& cls, const QByteArray& title = {});
HWND FindWindowExA(HWND parent, HWND childAfter, const QByteArray& cls, const QByteArray& title = {});

qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, qint64 lParam);
// A literal 0 as lParam would otherwise be ambiguous with the pointer overload.
inline qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, int lParam)
{
    return SendMessageA(hwnd, msg, wParam, qint64(lParam));
}
// The text as lParam, as for WM_SETTEXT.
qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, const QByteArray& text);
// A buffer of wParam bytes as lParam, as for WM_GETTEXT; the bytes received land in *text.
qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, QByteArray* text);
bool PostMessageA(HWND hwnd, quint32 msg, quint64 wParam, qint64 lParam);
bool EnableWindow(HWND hwnd, bool enable);

HMENU GetMenu(HWND hwnd);
HMENU GetSubMenu(HMENU menu, int pos);
quint32 GetMenuItemID(HMENU menu, int pos);

// A call waits for its answer while the client is there: its bus name has an owner and its
// process is not stopped. A client busy with a huge message or asleep over a slow answer is
// waited on, at most WorkingBoundSeconds, so that the line after it is not sent into nothing. A
// client whose name has lost its owner or whose process is stopped is given up at once.
constexpr double WorkingBoundSeconds = 120.0;

// Why a call sent to a client that was there went unanswered.
enum class Loss { None, Gone, Stopped, Late };
// The loss of the last call that went unanswered since the last look; the look clears it.
Loss TakeLoss();

// One chat operation: its walks end once its deadline has passed, so a looping client costs the
// operation about this long; no call of it waits past the deadline (a loss of Late). Once a call
// of the operation has given the client up, every further call answers 0 at once. Operations nest; the earlier deadline holds, and a client given up
// inside stays given up for the outer operation.
class Operation {
public:
    explicit Operation(double seconds);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    QDeadlineTimer previous_;
    bool previousGivenUp_ = false;
    Loss previousWhy_ = Loss::None;
};
// What gave the running operation's client up; None while it has not been.
Loss GivenUpBy();
// True once the running operation's deadline has passed or its client has been given up.
bool Expired();

// The bus's own name for the process that holds the client's name now, empty when none: a
// client that went and came back is another process, whose handles mean other windows. Asks the
// bus, not the client.
QString ClientOwner();

// Calls sent to the client so far in this process: what a chat operation costs.
quint64 CallsSent();
// Calls the client answered so far in this process: a call that went through.
quint64 CallsAnswered();

// Sends a call on the session bus and waits for its answer at most timeoutMs, the window live
// meanwhile; an invalid message when none came. The wait keeps a timer of its own: the bus
// library's time-out for a blocking call was seen never to fire on a loaded machine.
QDBusMessage Ask(const QDBusMessage& message, int timeoutMs);
// Waits for a call already sent, the same way; the call may still be answered later.
QDBusMessage Ask(QDBusPendingCall pending, int timeoutMs);

// The client's name on the bus: $QUORL_CHAT_BUS, else "org.quorl.ChatClient".
QString serviceName();
void setServiceName(const QString& name);

} // namespace ChatBus
