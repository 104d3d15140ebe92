#pragma once
#include "transcript.h"
#include "windowtree.h"

#include <QObject>

// Window messages the client understands, with their desktop numbers.
namespace Msg {
constexpr quint32 Activate = 0x0006;
constexpr quint32 Nine = 0x0009;
constexpr quint32 SetText = 0x000C;
constexpr quint32 GetText = 0x000D;
constexpr quint32 GetTextLength = 0x000E;
constexpr quint32 Close = 0x0010;
constexpr quint32 Char = 0x0102;
constexpr quint32 Command = 0x0111;
constexpr quint32 ButtonDown = 0x0201;
constexpr quint32 ButtonUp = 0x0202;
}

struct Layout {
    bool classic = false;     // the older room: _Chat_View and _Chat_Edit
    bool roomBehind = false;  // other "Chat Child" windows before the room
    bool upload = false;      // an upload in progress, another modal before it
    bool wait = false;        // the wait window open
    bool noRoom = false;
};

// The chat client's behaviour: its windows answer messages the way the shop expects, rooms
// take posted messages, the keyword bar opens rooms and instant messages, menus run commands.
class ChatClient : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 WaitCommandA = 510;  // menu 4, item 10
    static constexpr quint32 WaitCommandB = 610;  // menu 5, item 10

    explicit ChatClient(WindowTree& tree, QObject* parent = nullptr);

    void build(const Layout& layout);
    void setTranscript(Transcript* transcript) { transcript_ = transcript; }
    WindowTree& tree() { return tree_; }
    Window* frame() const { return frame_; }
    Window* keywordEdit() const { return keyword_; }

    qint64 sendMessage(quint32 hwnd, quint32 msg, quint64 wParam, qint64 lParam);
    qint64 sendText(quint32 hwnd, quint32 msg, quint64 wParam, const QByteArray& text);
    qint64 receiveText(quint32 hwnd, quint32 msg, quint64 wParam, QByteArray* text);
    bool postMessage(quint32 hwnd, quint32 msg, quint64 wParam, qint64 lParam);
    bool enableWindow(quint32 hwnd, bool enable);
    quint32 getMenu(quint32 hwnd) const;
    quint32 getSubMenu(quint32 hmenu, int pos) const;
    quint32 getMenuItemID(quint32 hmenu, int pos) const;

    // For a bridge to another network: the room of that title (opened when missing), a message
    // from someone there (plain text, not HTML), a notice, and the status line under the room.
    Window* room(const QByteArray& title);
    void renameRoom(Window* room, const QByteArray& title);
    void showForeign(Window* room, const QByteArray& sender, const QByteArray& bytes);
    void showNotice(Window* room, const QByteArray& text) { notify(room, text); }
    void setRoomStatus(Window* room, const QByteArray& text);
    // The room's people list (CR LF between names), and the name the user's own lines show under
    // there (the screen name unless set).
    void setRoomPeople(Window* room, const QByteArray& names);
    void setRoomSpeaker(Window* room, const QByteArray& name);

    // Rooms show art in a fixed-width font unless the user picks the usual one.
    bool fixedWidth() const { return fixedWidth_; }
    void setFixedWidth(bool fixed);
    // What a room (or its transcript control) shows; nullptr for other windows.
    RoomLog* roomLog(quint32 hwnd) const;

signals:
    void commandRun(quint32 id);
    // The user posted a message into a room.
    void roomPosted(const QByteArray& title, const QByteArray& bytes);

private:
    Window* mdi() const;
    Window* currentRoom() const;
    Window* openRoom(const QByteArray& title, bool front);
    Window* openInstantMessage(const QByteArray& name);
    Window* openWaitWindow();
    Window* openModal(const QByteArray& title, bool front);
    void buildMenus();
    void typed(Window* w, quint64 ch);
    void click(Window* icon);
    void postInput(Window* input);
    void runKeyword(const QByteArray& keyword);
    void notify(Window* room, const QByteArray& text);
    void showLine(Window* room, const QByteArray& title, const QByteArray& sender, const QByteArray& bytes,
                  bool plain = false);

    WindowTree& tree_;
    Transcript* transcript_ = nullptr;
    Window* frame_ = nullptr;
    Window* keyword_ = nullptr;
    bool classic_ = false;
    std::map<quint32, QByteArray> speakers_;  // by room handle
    bool fixedWidth_ = true;
};
