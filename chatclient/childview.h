#pragma once
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class ChatClient;
class RoomLog;

// Shows one window's controls (a room, an instant message, a modal window) and hands what the
// user does back to the client as the same messages the bus carries.
class ChildView : public QWidget {
    Q_OBJECT
public:
    ChildView(ChatClient& client, quint32 handle, QWidget* parent = nullptr);
    ~ChildView() override;

    quint32 handle() const { return handle_; }
    // True when the window's controls are no longer the ones shown.
    bool stale() const;
    void refresh();

private:
    void build();
    QWidget* makeControl(quint32 handle);

    ChatClient& client_;
    quint32 handle_;
    std::vector<quint32> built_;
    std::map<quint32, QWidget*> controls_;
    std::map<quint32, int> blocksShown_;
    // The rooms shown here outlive their controls, even when the client closes a room first.
    std::vector<std::shared_ptr<RoomLog>> logs_;
};
