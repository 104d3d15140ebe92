#include "chatclient.h"

#include "roomlog.h"

#include <QTimer>

namespace {
const QByteArray kScreenName = "Guest";
const QByteArray kImTitle = "Send Instant Message";
const QByteArray kImPrefix = "chat://9293:";
const QByteArray kRoomPrefix = "chat://2719:";
const QByteArray kToPrefix = "To: ";

struct MenuText {
    const char* title;
    const char* items[11];
};

// Captions only; what an item does is decided by its command id.
const MenuText kMenus[] = {
    {"&File", {"&New", "&Open...", "&Save", "Save &As...", "&Print...", "&Upload File...",
               "&Download Manager...", "Work &Offline", "&Settings...", "S&witch Name...", "E&xit"}},
    {"&Edit", {"&Undo", "Cu&t", "&Copy", "&Paste", "Select &All", "&Find...", "Find A&gain",
               "C&lear Transcript", "&Spelling", "&Dictionary", "T&hesaurus"}},
    {"&Rooms", {"Lobby", "Town Square", "Arts", "Games", "Music", "Sports", "News",
                "&Create Room...", "Room &List", "L&eave Room", "Room &Preferences..."}},
    {"&People", {"Send &Instant Message", "&Buddy List", "Get &Profile", "&Locate Member",
                 "Member &Directory", "&Ignore...", "&Away Message...", "&Notify...", "&Block...",
                 "&Invite...", "&Who Is Here"}},
    {"&Window", {"&Cascade", "&Tile", "&Arrange Icons", "Close &All", "&Remember Size",
                 "&Forget Size", "Add to &Favorites", "Go &Back", "Go F&orward", "&Stop",
                 "Pending &Requests..."}},
    {"&Help", {"&Contents", "&Index", "&Search...", "&Shortcuts", "&Accessibility", "&Tips",
               "&Release Notes", "&Report a Problem...", "&Privacy", "A&bout", "Pending &Requests..."}},
};
}

ChatClient::ChatClient(WindowTree& tree, QObject* parent)
    : QObject(parent)
    , tree_(tree)
{
}

void ChatClient::buildMenus()
{
    const quint32 bar = tree_.createMenu();
    frame_->menu = bar;
    quint32 m = 0;
    for (const MenuText& text : kMenus) {
        const quint32 sub = tree_.createMenu();
        tree_.menu(bar)->items.push_back({text.title, 0, sub});
        quint32 i = 0;
        for (const char* caption : text.items)
            tree_.menu(sub)->items.push_back({caption, (m + 1) * 100 + i++, 0});
        ++m;
    }
}

void ChatClient::build(const Layout& layout)
{
    classic_ = layout.classic;
    frame_ = tree_.create(nullptr, "Chat Frame25", Role::Frame, "Chat");
    buildMenus();
    Window* bar = tree_.create(frame_, "Chat Toolbar", Role::Plain);
    Window* inner = tree_.create(bar, "_Chat_Toolbar", Role::Plain);
    Window* combo = tree_.create(inner, "_Chat_Combobox", Role::Plain);
    keyword_ = tree_.create(combo, "Edit", Role::Keyword);
    tree_.create(frame_, "MDIClient", Role::Plain);

    if (layout.roomBehind) {
        // Windows that share some of a room's controls but are not rooms.
        Window* board = tree_.create(mdi(), "Chat Child", Role::Plain, "Message Board");
        tree_.create(board, "RICHCNTL", Role::Plain, "Welcome to the board.");
        tree_.create(board, "RICHCNTL", Role::Plain);
        tree_.create(board, "_Chat_Listbox", Role::List, "Announcements\r\nQuestions");
        tree_.create(board, "_Chat_Icon", Role::Icon);
        Window* buddies = tree_.create(mdi(), "Chat Child", Role::Plain, "Buddy List");
        tree_.create(buddies, "_Chat_Listbox", Role::List, "Pal\r\nFriend");
        tree_.create(buddies, "_Chat_Icon", Role::Icon);
        tree_.create(buddies, "_Chat_Static", Role::Static, "2 online");
    }
    if (!layout.noRoom)
        openRoom("Lobby 1", false);
    if (layout.roomBehind)
        openInstantMessage("Pal");

    // Opened first, so that with an upload the transfer windows stand before it.
    if (layout.wait)
        openWaitWindow();
    if (layout.upload) {
        Window* up = openModal("File Transfer", true);
        tree_.create(up, "_Chat_Gauge", Role::Gauge, "40");
        tree_.create(up, "_Chat_Static", Role::Static, "Files: 1 Upload 40%");
        // Finished transfers keep a window with the same wording but no gauge.
        Window* done = openModal("File Transfer", true);
        tree_.create(done, "_Chat_Static", Role::Static, "Files: 1 Upload complete");
        // The upload holds the frame until the user lets it go.
        tree_.setEnabled(frame_, false);
    }
}

Window* ChatClient::mdi() const
{
    return tree_.childOf(frame_, "MDIClient");
}

Window* ChatClient::currentRoom() const
{
    if (Window* m = mdi())
        for (auto& c : m->children)
            if (c->role == Role::Room)
                return c.get();
    return nullptr;
}

Window* ChatClient::openRoom(const QByteArray& title, bool front)
{
    Window* m = mdi();
    for (auto& c : m->children)
        if (c->role == Role::Room && c->text == title) {
            tree_.raise(c.get());
            return c.get();
        }
    Window* room = tree_.create(m, "Chat Child", Role::Room, title, front);
    Window* transcript = tree_.create(room, classic_ ? "_Chat_View" : "RICHCNTL", Role::Transcript);
    transcript->log = std::make_shared<RoomLog>();
    transcript->log->setFixedWidth(fixedWidth_);
    tree_.create(room, classic_ ? "_Chat_Edit" : "RICHCNTL", Role::Input);
    tree_.create(room, "_Chat_Listbox", Role::List, kScreenName + "\r\nPal\r\nFriend");
    tree_.create(room, "_Chat_Icon", Role::Icon);
    tree_.create(room, "_Chat_Static", Role::Static, "3 people here");
    return room;
}

Window* ChatClient::openInstantMessage(const QByteArray& name)
{
    Window* im = tree_.create(mdi(), "Chat Child", Role::InstantMessage, kImTitle, true);
    tree_.create(im, "RICHCNTL", Role::Input);
    tree_.create(im, "_Chat_Static", Role::Static, kToPrefix + name);
    tree_.create(im, "_Chat_Icon", Role::Icon);
    return im;
}

Window* ChatClient::openModal(const QByteArray& title, bool front)
{
    Window* w = tree_.create(nullptr, "_Chat_Modal", Role::Modal, title, front);
    w->owner = frame_;
    return w;
}

Window* ChatClient::openWaitWindow()
{
    for (auto& top : tree_.topLevels())
        if (top->role == Role::Modal && top->text == "Please Wait") {
            tree_.raise(top.get());
            return top.get();
        }
    Window* wait = openModal("Please Wait", true);
    tree_.create(wait, "_Chat_Static", Role::Static, "Waiting for the server...");
    tree_.create(wait, "_Chat_Icon", Role::Icon);
    return wait;
}

qint64 ChatClient::sendMessage(quint32 hwnd, quint32 msg, quint64 wParam, qint64 lParam)
{
    Q_UNUSED(lParam);
    Window* w = tree_.window(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case Msg::SetText:  // no text given: a null string empties the control
        tree_.setText(w, {});
        return 1;
    case Msg::GetTextLength:
        return w->text.size();
    case Msg::Char:
        typed(w, wParam);
        return 0;
    case Msg::Command:
        if (w == frame_) {
            const quint32 id = wParam & 0xFFFF;
            if (id == WaitCommandA || id == WaitCommandB)
                openWaitWindow();
            else if (id >= 300 && id <= 306)
                openRoom(kMenus[2].items[id - 300], true);
            else if (id == 400)
                openInstantMessage({});
            emit commandRun(id);
        }
        return 0;
    case Msg::ButtonDown:
        w->buttonDown = true;
        return 0;
    case Msg::ButtonUp:
        if (w->buttonDown) {
            w->buttonDown = false;
            if (w->role == Role::Icon)
                click(w);
        }
        return 0;
    case Msg::Close:
        if (w->cls == "Chat Child" || w->role == Role::Modal)
            tree_.destroy(w);
        return 0;
    default:  // activation and the rest change nothing here
        return 0;
    }
}

qint64 ChatClient::sendText(quint32 hwnd, quint32 msg, quint64 wParam, const QByteArray& text)
{
    if (msg != Msg::SetText)
        return sendMessage(hwnd, msg, wParam, 0);
    Window* w = tree_.window(hwnd);
    if (!w)
        return 0;
    tree_.setText(w, text);
    return 1;
}

qint64 ChatClient::receiveText(quint32 hwnd, quint32 msg, quint64 wParam, QByteArray* text)
{
    text->clear();
    if (msg != Msg::GetText)
        return sendMessage(hwnd, msg, wParam, 0);
    Window* w = tree_.window(hwnd);
    if (!w || wParam == 0)
        return 0;
    // The buffer holds wParam bytes including the terminating NUL.
    *text = w->text.left(qsizetype(std::min<quint64>(wParam - 1, quint64(w->text.size()))));
    return text->size();
}

bool ChatClient::postMessage(quint32 hwnd, quint32 msg, quint64 wParam, qint64 lParam)
{
    if (!tree_.window(hwnd))
        return false;
    QTimer::singleShot(0, this, [this, hwnd, msg, wParam, lParam] { sendMessage(hwnd, msg, wParam, lParam); });
    return true;
}

bool ChatClient::enableWindow(quint32 hwnd, bool enable)
{
    Window* w = tree_.window(hwnd);
    if (!w)
        return false;
    const bool wasDisabled = !w->enabled;
    tree_.setEnabled(w, enable);
    return wasDisabled;
}

quint32 ChatClient::getMenu(quint32 hwnd) const
{
    const Window* w = tree_.window(hwnd);
    return w ? w->menu : 0;
}

quint32 ChatClient::getSubMenu(quint32 hmenu, int pos) const
{
    const Menu* m = tree_.menu(hmenu);
    if (!m || pos < 0 || pos >= int(m->items.size()))
        return 0;
    return m->items[pos].subMenu;
}

quint32 ChatClient::getMenuItemID(quint32 hmenu, int pos) const
{
    const Menu* m = tree_.menu(hmenu);
    if (!m || pos < 0 || pos >= int(m->items.size()) || m->items[pos].subMenu)
        return 0xFFFFFFFF;
    return m->items[pos].id;
}

void ChatClient::typed(Window* w, quint64 ch)
{
    if (w->role != Role::Input && w->role != Role::Keyword)
        return;
    if (ch == 13) {
        if (w->role == Role::Input) {
            postInput(w);
        } else {
            const QByteArray keyword = w->text.trimmed();
            tree_.setText(w, {});
            runKeyword(keyword);
        }
    } else if (ch == 8) {
        tree_.setText(w, w->text.chopped(w->text.isEmpty() ? 0 : 1));
    } else if (ch >= 32 && ch <= 255) {
        tree_.setText(w, w->text + char(ch));
    }
}

void ChatClient::click(Window* icon)
{
    Window* owner = icon->parent;
    if (!owner)
        return;
    if (owner->role == Role::Modal) {
        tree_.destroy(owner);
        return;
    }
    // The icon of a room or an instant message is its send button.
    for (auto& c : owner->children)
        if (c->role == Role::Input) {
            postInput(c.get());
            return;
        }
}

void ChatClient::postInput(Window* input)
{
    if (!input || input->text.isEmpty())
        return;
    const QByteArray bytes = input->text;
    tree_.setText(input, {});
    Window* child = input->parent;
    if (child->role == Role::Room) {
        const auto speaker = speakers_.find(child->handle);
        showLine(child, child->text, speaker == speakers_.end() ? kScreenName : speaker->second, bytes);
        emit roomPosted(child->text, bytes);
    } else if (child->role == Role::InstantMessage) {
        QByteArray to = "IM to ";
        if (Window* st = tree_.childOf(child, "_Chat_Static"))
            to += st->text.mid(kToPrefix.size());
        if (transcript_)
            transcript_->write(to, bytes);
        tree_.destroy(child);
    }
}

void ChatClient::showLine(Window* room, const QByteArray& title, const QByteArray& sender, const QByteArray& bytes,
                          bool plain)
{
    for (auto& c : room->children)
        if (c->role == Role::Transcript) {
            tree_.appendLine(c.get(), sender + ":\t" + bytes + "\r\n", RoomLog::kKeepBytes);
            if (plain)
                c->log->plainMessage(sender, bytes);
            else
                c->log->message(sender, bytes);
            tree_.logged(c.get());
        }
    if (transcript_)
        transcript_->write(title, bytes);
}

void ChatClient::notify(Window* room, const QByteArray& text)
{
    if (!room)
        return;
    for (auto& c : room->children)
        if (c->role == Role::Transcript) {
            tree_.appendLine(c.get(), "*** " + text + "\r\n", RoomLog::kKeepBytes);
            c->log->notice(RoomLog::decode(text));
            tree_.logged(c.get());
        }
}

// Keywords: "chat://9293:NAME" opens an instant message to NAME, "chat://2719:A-B-ROOM" goes to
// the room ROOM (opening it when new), a web address shows in the current room.
void ChatClient::runKeyword(const QByteArray& keyword)
{
    if (keyword.isEmpty())
        return;
    if (keyword.startsWith(kImPrefix)) {
        openInstantMessage(keyword.mid(kImPrefix.size()));
    } else if (keyword.startsWith(kRoomPrefix)) {
        QByteArray room = keyword.mid(kRoomPrefix.size());
        for (int i = 0; i < 2 && room.contains('-'); ++i)
            room = room.mid(room.indexOf('-') + 1);
        if (!room.isEmpty())
            openRoom(room, true);
    } else if (keyword.toLower().startsWith("http") || keyword.toLower().startsWith("www.")) {
        notify(currentRoom(), "Web page: " + keyword);
    } else {
        notify(currentRoom(), "Keyword not found: " + keyword);
    }
}

Window* ChatClient::room(const QByteArray& title)
{
    Window* m = mdi();
    if (!m)
        return nullptr;
    for (auto& c : m->children)
        if (c->role == Role::Room && c->text == title)
            return c.get();
    return openRoom(title, false);
}

void ChatClient::renameRoom(Window* room, const QByteArray& title)
{
    if (room)
        tree_.setText(room, title);
}

void ChatClient::showForeign(Window* room, const QByteArray& sender, const QByteArray& bytes)
{
    if (room)
        showLine(room, room->text, sender, bytes, true);
}

void ChatClient::setRoomStatus(Window* room, const QByteArray& text)
{
    if (Window* st = room ? tree_.childOf(room, "_Chat_Static") : nullptr)
        tree_.setText(st, text);
}

void ChatClient::setRoomPeople(Window* room, const QByteArray& names)
{
    if (Window* list = room ? tree_.childOf(room, "_Chat_Listbox") : nullptr)
        tree_.setText(list, names);
}

void ChatClient::setRoomSpeaker(Window* room, const QByteArray& name)
{
    if (room)
        speakers_[room->handle] = name;
}

void ChatClient::setFixedWidth(bool fixed)
{
    fixedWidth_ = fixed;
    std::vector<Window*> todo;
    for (auto& top : tree_.topLevels())
        todo.push_back(top.get());
    while (!todo.empty()) {
        Window* w = todo.back();
        todo.pop_back();
        if (w->log) {
            w->log->setFixedWidth(fixed);
            tree_.logged(w);
        }
        for (auto& c : w->children)
            todo.push_back(c.get());
    }
}

RoomLog* ChatClient::roomLog(quint32 hwnd) const
{
    Window* w = tree_.window(hwnd);
    if (w && w->role == Role::Room)
        for (auto& c : w->children)
            if (c->role == Role::Transcript)
                return c->log.get();
    return w ? w->log.get() : nullptr;
}
