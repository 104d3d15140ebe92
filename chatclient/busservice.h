#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

class ChatClient;

// The window calls on the session bus. Texts are byte arrays (Windows-1252), passed unchanged.
class BusService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorl.ChatClient")
public:
    static constexpr const char* DefaultService = "org.quorl.ChatClient";
    static constexpr const char* ObjectPath = "/org/quorl/ChatClient";

    explicit BusService(ChatClient& client, QObject* parent = nullptr);

    // Ways a broken client answers, for trying the shop against them.
    struct Faults {
        int delayMs = 0;           // every call answers this late
        bool sameRoom = false;     // the room after a room is that room again
        bool endlessModals = false; // every lookup of a modal window finds a new one
        int busyMs = 0;            // Enter keeps the CPU busy this long before it posts
    };
    void setFaults(const Faults& faults) { faults_ = faults; }

public slots:
    uint FindWindow(const QByteArray& cls, const QByteArray& title);
    uint FindWindowEx(uint parent, uint childAfter, const QByteArray& cls, const QByteArray& title);
    qlonglong SendMessage(uint hwnd, uint msg, qulonglong wParam, qlonglong lParam);
    qlonglong SendMessageText(uint hwnd, uint msg, qulonglong wParam, const QByteArray& text);
    qlonglong SendMessageGetText(uint hwnd, uint msg, qulonglong wParam, QByteArray& text);
    bool PostMessage(uint hwnd, uint msg, qulonglong wParam, qlonglong lParam);
    bool EnableWindow(uint hwnd, bool enable);
    uint GetMenu(uint hwnd);
    uint GetSubMenu(uint hmenu, int pos);
    uint GetMenuItemID(uint hmenu, int pos);
    // For people and tests looking on.
    QString Dump();
    // The room as its user reads it, and where characters of one of its lines stand.
    QString RoomText(uint hwnd);
    QList<double> RoomLineX(uint hwnd, int line, int first, int count);
    bool IsWindow(uint hwnd);

private:
    void misbehave() const;
    uint modalLookup(const QByteArray& cls);

    ChatClient& client_;
    Faults faults_;
};
