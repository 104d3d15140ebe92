#pragma once
#include <QMainWindow>

#include <map>
#include <memory>

class ChatClient;
class ChildView;
class QAction;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;

// The visible client: the frame with its menus, keyword bar and rooms, and the modal windows
// beside it. It follows the window tree; the tree stays the truth the bus sees.
class FrameWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FrameWindow(ChatClient& client);
    ~FrameWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildViewMenu();
    void scheduleSync();
    void sync();
    void syncChildren();
    void syncModals();

    ChatClient& client_;
    QComboBox* keyword_ = nullptr;
    QAction* fixedWidth_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    bool syncPending_ = false;
    std::map<quint32, QMdiSubWindow*> children_;
    std::map<quint32, std::unique_ptr<ChildView>> modals_;
};
