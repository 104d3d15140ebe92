#include "chatops.h"

#include "platform/clock.h"
#include "platform/codepage.h"

#include <QSet>

#include <algorithm>

using namespace ChatBus;

namespace CommonKit {

namespace {

constexpr quint32 kMessageNine = 9;
// Between two looks for the wait window: quick for the user, light on the bus.
constexpr double kPollSeconds = 0.1;
// What one operation may cost at most, whatever the client does: a client that is there and
// slow or busy gets its message through; one that is gone ends the operation at once anyway.
constexpr double kOperationSeconds = ChatBus::WorkingBoundSeconds;
// No honest client has this many windows of one class side by side; a walk that meets more is
// being led on and stops.
constexpr int kWalkBound = 64;

// Text leaves the shop as Windows-1252, its line breaks as they stand: the chat client gets
// exactly what the page or line holds.
QByteArray chatBytes(const QString& text) { return CodePage::fromUnicode(text); }

// A child of a window that exists; never a top-level window by accident.
HWND child(HWND parent, const QByteArray& cls, HWND after = 0, const QByteArray& title = {})
{
    return parent ? FindWindowExA(parent, after, cls, title) : 0;
}

// A room as a walk found it, with what shows that it is still the room a walk would find: the
// first "Chat Child" of the MDIClient. New windows come first, so a room brought or opened in
// front, or a closed front window, changes that first child.
struct FoundRoom {
    HWND mdi = 0;
    HWND front = 0;
    HWND room = 0;
};

FoundRoom findRoom(const QByteArray& transcriptClass)
{
    ChatBus::Operation op(kOperationSeconds);
    FoundRoom found;
    found.mdi = child(FindMainFrame(), "MDIClient");
    found.front = child(found.mdi, "Chat Child");
    // A client that answers with a window seen before (or leads the walk on for ever) must not
    // hang the shop: each room is looked at once, and the walk has a bound and a deadline.
    QSet<HWND> seen;
    for (HWND room = found.front;
         room && !seen.contains(room) && seen.size() < kWalkBound && !ChatBus::Expired();
         room = child(found.mdi, "Chat Child", room)) {
        seen.insert(room);
        if (child(room, transcriptClass) && child(room, "_Chat_Listbox") && child(room, "_Chat_Icon")
            && child(room, "_Chat_Static")) {
            found.room = room;
            return found;
        }
    }
    return {};
}

// The input a message went to last, kept while the room stays the one a walk would find: a
// message then costs one call to check and the two that send it, not a walk of the window tree.
struct KeptInput {
    FoundRoom where;
    HWND input = 0;
    bool classic = false;
    QString owner; // the client process the handles belong to
};

// Whether the last message's text was taken by an input box, whatever became of its Enter.
bool textTaken = false;

KeptInput& kept()
{
    static KeptInput input;
    return input;
}

HWND keptInput(bool classicToo)
{
    const KeptInput& k = kept();
    if (!k.input || (k.classic && !classicToo) || ChatBus::ClientOwner() != k.owner)
        return 0;
    if (FindWindowExA(k.where.mdi, 0, "Chat Child") != k.where.front)
        return 0;
    return k.input;
}

HWND roomInput()
{
    const FoundRoom found = findRoom("RICHCNTL");
    const HWND input = child(found.room, "RICHCNTL", child(found.room, "RICHCNTL"));
    if (input)
        kept() = {found, input, false, ChatBus::ClientOwner()};
    return input;
}

HWND classicInput()
{
    const FoundRoom found = findRoom("_Chat_View");
    const HWND input = child(found.room, "_Chat_Edit");
    if (input)
        kept() = {found, input, true, ChatBus::ClientOwner()};
    return input;
}

// WM_SETTEXT answers 1 in a window that exists: 0 from a kept input means it has gone (or the
// client was given up, and then the lookup costs nothing either), so the room is looked up again.
HWND send(const QString& text, bool classicToo)
{
    const QByteArray bytes = chatBytes(text);
    textTaken = false;
    HWND input = keptInput(classicToo);
    if (!input || !(textTaken = SendMessageA(input, WM_SETTEXT, 0, bytes) != 0)) {
        kept() = {};
        input = roomInput();
        if (!input && classicToo)
            input = classicInput();
        if (!input)
            return 0;
        textTaken = SendMessageA(input, WM_SETTEXT, 0, bytes) != 0;
    }
    // The Enter answers 0 like a handled character: only the answer itself shows the message went.
    const quint64 answered = ChatBus::CallsAnswered();
    SendMessageA(input, WM_CHAR, 13, 0);
    return ChatBus::CallsAnswered() > answered ? input : 0;
}

} // namespace

HWND FindMainFrame()
{
    return FindWindowA("Chat Frame25");
}

HWND FindChatRoom()
{
    return findRoom("RICHCNTL").room;
}

HWND FindChatRoomClassic()
{
    return findRoom("_Chat_View").room;
}

HWND SendChatText(const QString& text)
{
    ChatBus::Operation op(kOperationSeconds);
    return send(text, false);
}

HWND SendChatTextAny(const QString& text)
{
    ChatBus::Operation op(kOperationSeconds);
    return send(text, true);
}

bool LastTextTaken() { return textTaken; }

ScrollWatch::ScrollWatch()
    : owner_(ChatBus::ClientOwner())
{
    ChatBus::TakeLoss();
}

bool ScrollWatch::before(ScrollEnd* end)
{
    if (owner_.isEmpty() || end->why != ScrollEnd::Why::None)
        return end->why == ScrollEnd::Why::None;
    // One question to the bus, not to the client: handles kept from the old process would
    // reach other windows of the new one, after a gap the user was never told of.
    const QString now = ChatBus::ClientOwner();
    if (now == owner_)
        return true;
    end->why = now.isEmpty() ? ScrollEnd::Why::Loss : ScrollEnd::Why::Replaced;
    end->loss = ChatBus::Loss::Gone;
    return false;
}

bool ScrollWatch::after(HWND sent, ScrollEnd* end)
{
    if (sent) {
        ++end->sent;
        if (owner_.isEmpty())
            owner_ = ChatBus::ClientOwner();
        return true;
    }
    ChatBus::Loss loss = ChatBus::TakeLoss();
    // A call given up earlier in an enclosing operation makes every later one answer 0 at once.
    if (loss == ChatBus::Loss::None)
        loss = ChatBus::GivenUpBy();
    if (loss != ChatBus::Loss::None) {
        end->why = ScrollEnd::Why::Loss;
        end->loss = loss;
        end->inputMayHold = textTaken;
        return false;
    }
    if (owner_.isEmpty())
        owner_ = ChatBus::ClientOwner();
    // No client at all: the message went into nothing, as it always has.
    if (owner_.isEmpty())
        return true;
    end->why = ChatBus::ClientOwner() == owner_ ? ScrollEnd::Why::NoRoom : ScrollEnd::Why::Replaced;
    return false;
}

QString ScrollEndSentence(const ScrollEnd& end, const QString& scroll, const QString& unit, const QString& rest)
{
    QString why;
    switch (end.why) {
    case ScrollEnd::Why::None: return {};
    case ScrollEnd::Why::Replaced: why = QStringLiteral("the chat client was replaced by another one"); break;
    case ScrollEnd::Why::NoRoom: why = QStringLiteral("no chat room was open in the chat client"); break;
    case ScrollEnd::Why::Loss:
        switch (end.loss) {
        case ChatBus::Loss::None:
        case ChatBus::Loss::Gone: why = QStringLiteral("the chat client went away"); break;
        case ChatBus::Loss::Stopped: why = QStringLiteral("the chat client is stopped and does not answer"); break;
        case ChatBus::Loss::Late:
            why = QStringLiteral("the chat client did not answer for %1 seconds").arg(int(ChatBus::WorkingBoundSeconds));
            break;
        }
        break;
    }
    // Nothing sent has no rest to speak of.
    QString told = end.sent == 0 ? QStringLiteral("The %1 sent none of its %2 %3: %4.")
                                       .arg(scroll)
                                       .arg(end.count)
                                       .arg(unit, why)
                                 : QStringLiteral("The %1 stopped after %2 of %3 %4: %5, and %6.")
                                       .arg(scroll)
                                       .arg(end.sent)
                                       .arg(end.count)
                                       .arg(unit, why, rest);
    if (end.inputMayHold)
        told += QStringLiteral(" %1 %2 may have reached the chat room's input box without being sent.")
                    .arg(unit.front().toUpper() + unit.mid(1).chopped(1))
                    .arg(end.sent + 1);
    return told;
}

HWND RunKeyword(const QString& keyword)
{
    ChatBus::Operation op(kOperationSeconds);
    const HWND bar = child(FindMainFrame(), "Chat Toolbar");
    const HWND edit = child(child(child(bar, "_Chat_Toolbar"), "_Chat_Combobox"), "Edit");
    if (!edit)
        return 0;
    SendMessageA(edit, WM_SETTEXT, 0, CodePage::fromUnicode(keyword));
    SendMessageA(edit, WM_CHAR, 32, 0);
    SendMessageA(edit, WM_CHAR, 13, 0);
    return edit;
}

quint32 RunMenuCommand(int menu, int item)
{
    ChatBus::Operation op(kOperationSeconds);
    const HWND frame = FindMainFrame();
    const quint32 id = GetMenuItemID(GetSubMenu(GetMenu(frame), menu), item);
    if (!frame || id == NoMenuItem)
        return 0;
    SendMessageA(frame, WM_COMMAND, id, 0);
    return id;
}

HWND SendInstantMessage(const QString& name, const QString& message)
{
    ChatBus::Operation op(kOperationSeconds);
    RunKeyword(QStringLiteral("chat://9293:") + name);
    const HWND mdi = child(FindMainFrame(), "MDIClient");
    const HWND box = child(child(mdi, "Chat Child", 0, "Send Instant Message"), "RICHCNTL");
    if (box)
        SendMessageA(box, WM_SETTEXT, 0, chatBytes(message));
    return box;
}

QString ReadWindowText(HWND hwnd)
{
    ChatBus::Operation op(kOperationSeconds);
    if (!hwnd)
        return {};
    const qint64 length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    QByteArray text;
    SendMessageA(hwnd, WM_GETTEXT, quint64(std::max<qint64>(length, 0)) + 1, &text);
    return CodePage::toUnicode(text);
}

HWND FindUploadWindow()
{
    ChatBus::Operation op(kOperationSeconds);
    const HWND frame = FindMainFrame();
    QSet<HWND> seen;  // a client that leads the walk in a circle must not hang the shop
    for (HWND w = FindWindowA("_Chat_Modal");
         w && !seen.contains(w) && seen.size() < kWalkBound && !ChatBus::Expired();
         w = child(frame, "_Chat_Modal", w)) {
        seen.insert(w);
        Clock::processEvents();
        const HWND status = child(w, "_Chat_Static");
        if (child(w, "_Chat_Gauge") && status && ReadWindowText(status).contains(QStringLiteral(" Upload")))
            return w;
    }
    return 0;
}

bool ClickWaitWindow()
{
    const double start = Clock::monotonic();
    const auto late = [start] { return Clock::monotonic() - start >= ClickWaitTimeout; };
    for (;;) {
        // Each look is one operation; a client that shows a new wait window for every lookup
        // meets the walk's bound, and the window stays live and the limit is kept meanwhile.
        ChatBus::Operation op(kOperationSeconds);
        QSet<HWND> seen;
        for (HWND w = FindWindowA("_Chat_Modal"); w && !seen.contains(w) && seen.size() < kWalkBound;
             w = FindWindowExA(0, w, "_Chat_Modal")) {
            seen.insert(w);
            Clock::processEvents();
            if (late() || ChatBus::Expired())
                break;
            if (const HWND icon = child(w, "_Chat_Icon")) {
                PostMessageA(icon, WM_LBUTTONDOWN, 0, 0);
                PostMessageA(icon, WM_LBUTTONUP, 0, 0);
                return true;
            }
        }
        if (late())
            return false;
        Clock::wait(kPollSeconds);
    }
}

void SetUpchat(bool on)
{
    ChatBus::Operation op(kOperationSeconds);
    const HWND upload = FindUploadWindow();
    const HWND frame = FindMainFrame();
    EnableWindow(upload, !on);
    EnableWindow(frame, on);
    PostMessageA(upload, on ? WM_ACTIVATE : kMessageNine, 0, 0);
}

} // namespace CommonKit
