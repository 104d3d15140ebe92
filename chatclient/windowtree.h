#pragma once
#include "roomlog.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

// What a window is for; the window view picks its widget by this, the logic by class and role.
enum class Role { Plain, Frame, Room, Transcript, Input, Keyword, List, Icon, Static, Gauge, Modal, InstantMessage };

struct Window {
    quint32 handle = 0;
    QByteArray cls;
    QByteArray text;  // also the title FindWindow matches
    Role role = Role::Plain;
    bool enabled = true;
    Window* parent = nullptr;  // nullptr for top-level windows
    Window* owner = nullptr;   // the frame, for its pop-ups
    quint32 menu = 0;
    bool buttonDown = false;   // an icon pressed and not yet released
    std::shared_ptr<RoomLog> log;  // what a transcript shows; its view holds it too
    std::vector<std::unique_ptr<Window>> children;
};

struct MenuItem {
    QByteArray caption;
    quint32 id = 0;
    quint32 subMenu = 0;
};

struct Menu {
    quint32 handle = 0;
    std::vector<MenuItem> items;
};

// The client's windows and menus. Handles are never reused, so a closed window stays unknown.
class WindowTree : public QObject {
    Q_OBJECT
public:
    WindowTree();
    ~WindowTree() override;

    // A new window, last among its siblings or, with front, first (as a newly opened child).
    Window* create(Window* parent, const QByteArray& cls, Role role, const QByteArray& text = {},
                   bool front = false);
    void destroy(Window* w);
    Window* window(quint32 handle) const;
    const std::vector<std::unique_ptr<Window>>& topLevels() const { return root_.children; }
    // First child of cls (and of title when given) after childAfter, as the desktop's lookup.
    Window* find(quint32 parent, quint32 childAfter, const QByteArray& cls, const QByteArray& title) const;
    Window* childOf(const Window* parent, const QByteArray& cls, int nth = 0) const;
    void raise(Window* w);

    void setText(Window* w, const QByteArray& text);
    // Adds a line to a transcript's text, which keeps its last keep bytes (whole lines; down to
    // three quarters at once).
    void appendLine(Window* w, const QByteArray& line, qsizetype keep);
    void setEnabled(Window* w, bool enabled);
    // A transcript's log took a message.
    void logged(Window* transcript);

    quint32 createMenu();
    Menu* menu(quint32 handle);

    QString dump() const;

signals:
    // Windows appeared, closed or moved; views rebuild.
    void structureChanged();
    void windowChanged(quint32 handle);

private:
    std::vector<Window*> searchOrder(quint32 parent) const;
    void unregister(Window* w);
    void dumpInto(const Window* w, int depth, QString& out) const;

    Window root_;
    std::map<quint32, Window*> byHandle_;
    std::map<quint32, Menu> menus_;
    quint32 next_ = 0x1000;
};
