#include "framewindow.h"

#include "chatclient.h"
#include "childview.h"
#include "roomlog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

FrameWindow::FrameWindow(ChatClient& client)
    : client_(client)
{
    setAccessibleName(tr("Chat"));
    buildMenus();

    auto* bar = addToolBar(tr("Keyword"));
    bar->setMovable(false);
    keyword_ = new QComboBox;
    keyword_->setEditable(true);
    keyword_->setInsertPolicy(QComboBox::NoInsert);
    keyword_->setMinimumWidth(320);
    keyword_->setAccessibleName(tr("Keyword"));
    keyword_->lineEdit()->setPlaceholderText(tr("chat://2719:2-2-Room or a web address"));
    bar->addWidget(keyword_);
    connect(keyword_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        QStringEncoder encoder("windows-1252");
        client_.sendText(client_.keywordEdit()->handle, Msg::SetText, 0, encoder.encode(text));
    });
    connect(keyword_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        client_.sendMessage(client_.keywordEdit()->handle, Msg::Char, 13, 0);
    });

    mdi_ = new QMdiArea;
    // One room at a time, the one in front as the current tab.
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setTabsClosable(true);
    mdi_->setTabsMovable(false);
    setCentralWidget(mdi_);
    statusBar();
    resize(900, 600);

    connect(&client_.tree(), &WindowTree::structureChanged, this, &FrameWindow::scheduleSync);
    connect(&client_.tree(), &WindowTree::windowChanged, this, &FrameWindow::scheduleSync);
    connect(&client_, &ChatClient::commandRun, this, [this](quint32 id) {
        statusBar()->showMessage(tr("Command %1").arg(id), 3000);
    });
    // After the frame is shown, so the modal windows open above it.
    scheduleSync();
}

FrameWindow::~FrameWindow() = default;

void FrameWindow::buildMenus()
{
    WindowTree& tree = client_.tree();
    const quint32 bar = client_.getMenu(client_.frame()->handle);
    const Menu* top = tree.menu(bar);
    if (!top)
        return;
    for (const MenuItem& item : top->items) {
        QMenu* menu = menuBar()->addMenu(RoomLog::decode(item.caption));
        for (const MenuItem& sub : tree.menu(item.subMenu)->items) {
            const quint32 id = sub.id;
            connect(menu->addAction(RoomLog::decode(sub.caption)), &QAction::triggered, this, [this, id] {
                client_.sendMessage(client_.frame()->handle, Msg::Command, id, 0);
            });
        }
        // The window's own menu, beside Edit; the menu bar the bus sees keeps its six menus.
        if (menuBar()->actions().size() == 2)
            buildViewMenu();
    }
}

void FrameWindow::buildViewMenu()
{
    QMenu* view = menuBar()->addMenu(tr("&View"));
    fixedWidth_ = view->addAction(tr("&Fixed-width Font for Art"));
    fixedWidth_->setCheckable(true);
    fixedWidth_->setChecked(client_.fixedWidth());
    connect(fixedWidth_, &QAction::toggled, this, [this](bool on) { client_.setFixedWidth(on); });
}

void FrameWindow::scheduleSync()
{
    if (syncPending_)
        return;
    syncPending_ = true;
    QTimer::singleShot(0, this, &FrameWindow::sync);
}

void FrameWindow::sync()
{
    syncPending_ = false;
    const Window* frame = client_.frame();
    setWindowTitle(RoomLog::decode(frame->text));
    // A disabled frame greys out as a whole, as it does behind a modal window.
    setEnabled(frame->enabled);
    const Window* edit = client_.keywordEdit();
    const QString text = RoomLog::decode(edit->text);
    if (keyword_->currentText() != text)
        keyword_->setEditText(text);
    keyword_->setEnabled(edit->enabled);
    syncChildren();
    syncModals();
}

void FrameWindow::syncChildren()
{
    const Window* mdi = client_.tree().childOf(client_.frame(), "MDIClient");
    std::map<quint32, QMdiSubWindow*> keep;
    if (mdi)
        for (auto& c : mdi->children) {
            if (c->cls != "Chat Child")
                continue;
            auto it = children_.find(c->handle);
            QMdiSubWindow* sub = nullptr;
            if (it == children_.end()) {
                sub = mdi_->addSubWindow(new ChildView(client_, c->handle));
                sub->installEventFilter(this);
                sub->resize(560, 380);
                sub->show();
            } else {
                sub = it->second;
                children_.erase(it);
            }
            sub->setWindowTitle(RoomLog::decode(c->text));
            static_cast<ChildView*>(sub->widget())->refresh();
            keep[c->handle] = sub;
        }
    for (auto& [h, sub] : children_) {
        sub->removeEventFilter(this);
        mdi_->removeSubWindow(sub);
        delete sub;
    }
    children_ = std::move(keep);
    // The first child is the one in front.
    if (mdi && !mdi->children.empty()) {
        auto it = children_.find(mdi->children.front()->handle);
        if (it != children_.end() && mdi_->activeSubWindow() != it->second)
            mdi_->setActiveSubWindow(it->second);
    }
}

void FrameWindow::syncModals()
{
    std::map<quint32, std::unique_ptr<ChildView>> keep;
    for (auto& top : client_.tree().topLevels()) {
        if (top->role != Role::Modal)
            continue;
        auto it = modals_.find(top->handle);
        std::unique_ptr<ChildView> view;
        if (it == modals_.end()) {
            // Not a child widget of the frame: a disabled frame must not grey its pop-ups.
            view = std::make_unique<ChildView>(client_, top->handle);
            view->setWindowFlag(Qt::Dialog);
            view->installEventFilter(this);
            view->resize(320, 120);
            const int step = 30 * int(keep.size() + modals_.size());
            view->move(frameGeometry().center() - QPoint(160 - step, 60 - step));
            view->winId();
            view->windowHandle()->setTransientParent(windowHandle());
            view->show();
        } else {
            view = std::move(it->second);
            modals_.erase(it);
        }
        view->setWindowTitle(RoomLog::decode(top->text));
        view->refresh();
        keep[top->handle] = std::move(view);
    }
    for (auto& [h, view] : modals_)
        view->removeEventFilter(this);
    modals_ = std::move(keep);
}

// Closing a room or a modal window by hand goes through the client like a close message.
bool FrameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        quint32 handle = 0;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched))
            handle = static_cast<ChildView*>(sub->widget())->handle();
        else if (auto* view = qobject_cast<ChildView*>(watched))
            handle = view->handle();
        if (handle) {
            event->ignore();
            client_.sendMessage(handle, Msg::Close, 0, 0);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
