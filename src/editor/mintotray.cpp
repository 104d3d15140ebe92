#include "mintotray.h"

#include "chat/ops.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "help/frmhelp.h"
#include "platform/filename.h"
#include "platform/progfolder.h"
#include "shell/systrayicon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QStandardPaths>
#include <sys/socket.h>
#include <unistd.h>

namespace MinToTray {

namespace {

QPointer<QLocalServer> server;
bool hidden = false;
// The help window (the testers, the greets) goes to the tray with the shop and comes back with it.
QPointer<QWidget> helpAway;

// A second launch says "show", and "open " with its file's path (its bytes, percent-encoded) when it
// has one. Lines longer than any path, or a launch that says nothing in time, are dropped.
constexpr qint64 kMaxLine = 64 * 1024;
constexpr int kAnswerMs = 5000;
constexpr int kModalRetryMs = 250;

// A second launch brings the shop to the front, hidden or not, and hands over its file.
void bringBack()
{
    if (IsHidden()) {
        Restore();
        return;
    }
    if (auto* main = Forms::loaded<frmmain>(); main && main->isVisible()) {
        if (main->isMinimized())
            main->showNormal();
        main->raise();
        main->activateWindow();
    }
}

void handleLine(const QByteArray& line)
{
    if (line == "show") {
        bringBack();
    } else if (line.startsWith("open ")) {
        const QString path = FileName::decode(QByteArray::fromPercentEncoding(line.mid(5)));
        bringBack();
        Lifecycle::OpenFile(path);
    }
}

// Lines handed over and not yet acted on. A line may open a modal box, whose event loop may
// bring further launches; those wait here until no box is open, so questions never stack.
QList<QByteArray>& waiting()
{
    static QList<QByteArray> lines;
    return lines;
}

void handleWaiting()
{
    static bool handling = false;
    if (handling)
        return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(kModalRetryMs, qApp, handleWaiting);
        return;
    }
    handling = true;
    while (!waiting().isEmpty() && !QApplication::activeModalWidget())
        handleLine(waiting().takeFirst());
    handling = false;
    if (!waiting().isEmpty())
        QTimer::singleShot(kModalRetryMs, qApp, handleWaiting);
}

void answer(QLocalSocket* s)
{
    // The socket outlives the server, which goes when the shop comes back.
    s->setParent(nullptr);
    QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    QTimer::singleShot(kAnswerMs, s, [s] { s->abort(); });
    // The lines are only taken here; acting on them comes later, when the socket may be gone.
    const auto read = [s] {
        bool any = false;
        while (s->canReadLine()) {
            waiting() << s->readLine(kMaxLine).trimmed();
            any = true;
        }
        if (s->bytesAvailable() > kMaxLine)
            s->abort();
        if (any)
            QTimer::singleShot(0, qApp, handleWaiting);
    };
    QObject::connect(s, &QLocalSocket::readyRead, s, read);
    read();
}

// One name per user and program folder, so two installed shops do not wake each other. The
// socket lives in the user's private runtime folder: in a shared folder such as /tmp another
// user could listen under the same name first.
QString serverName()
{
    const QByteArray key = ProgramFolder::path().toUtf8() + '\n' + QByteArray::number(::getuid());
    const QString name = "quorl-" + QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : runtime + '/' + name;
}

// Only a peer of this user counts: wherever the socket lives, a stranger's is not our shop.
bool peerIsThisUser(const QLocalSocket& socket)
{
    struct ucred cred {};
    socklen_t length = sizeof cred;
    const int fd = int(socket.socketDescriptor());
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 && cred.uid == ::getuid();
}

void listen()
{
    // A server of another program folder (tests change it) is not this shop's.
    if (server && server->serverName() == serverName())
        return;
    StopListening();
    // A name some shop still listens on is that shop's: only a socket file nobody answers at
    // (left by a shop that was killed) is taken over.
    {
        QLocalSocket probe;
        probe.connectToServer(serverName());
        if (probe.waitForConnected(200))
            return;
    }
    server = new QLocalServer(qApp);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName());
    if (!server->listen(serverName())) {
        delete server;
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [] {
        // Only a peer of this user is heard: a stranger's launch wakes nothing and opens nothing.
        while (QLocalSocket* s = server->nextPendingConnection()) {
            if (peerIsThisUser(*s))
                answer(s);
            else
                s->deleteLater();
        }
    });
}

} // namespace

void Hide()
{
    frmmain& main = Forms::get<frmmain>();
    hidden = true;
    if (auto* help = Forms::loaded<frmhelp>(); help && help->isVisible()) {
        help->hide();
        helpAway = help;
    }
    if (!systrayicon::TrayAvailable()) {
        main.Minimize();
        // Without a tray the shop is only minimized: the help window comes back with it.
        if (QWindow* window = main.windowHandle(); window && helpAway) {
            auto* once = new QObject(window);
            QObject::connect(window, &QWindow::windowStateChanged, once, [once](Qt::WindowState state) {
                if (state == Qt::WindowMinimized)
                    return;
                if (QWidget* help = std::exchange(helpAway, nullptr))
                    help->show();
                once->deleteLater();
            });
        }
        listen();
        return;
    }
    systrayicon::AddTrayIcon();
    main.hide();
    if (auto* rect = Forms::loaded<frmrect>())
        rect->hide();
    if (auto* o = Forms::loaded<ops>())
        o->hide();
    listen();
}

void HideAll()
{
    Hide();
    if (auto* w = Forms::loaded<frmhandle>())
        w->hide();
    // Hidden for good here: the window menu's tray sends every window away.
    helpAway = nullptr;
    if (auto* w = Forms::loaded<frmhelp>())
        w->hide();
}

void Restore(bool restoreState)
{
    hidden = false;
    frmmain& main = Forms::get<frmmain>();
    if (restoreState)
        main.showNormal();
    else
        main.show();
    main.Dock();
    frmrect& rect = Forms::get<frmrect>();
    rect.show();
    if (rect.optionsOpen())
        Forms::get<ops>().show();
    if (QWidget* help = std::exchange(helpAway, nullptr))
        help->show();
    main.raise();
    main.activateWindow();
}

bool IsHidden() { return hidden; }

void Listen() { listen(); }

void StopListening()
{
    if (QLocalServer* s = server.data()) {
        server = nullptr;
        s->close();
        s->deleteLater();
    }
}

bool HandOverOrListen(const QString& file)
{
    // Two launches at the same moment: the lock lets one of them listen and the other find it.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QLockFile lock((runtime.isEmpty() ? QDir::tempPath() : runtime) + '/' + QFileInfo(serverName()).fileName()
                   + ".lock");
    lock.setStaleLockTime(0);
    // A launch that holds the lock this long is stuck; a shop may still have come up meanwhile.
    bool locked = false;
    for (int tries = 0; tries < 3 && !locked; ++tries) {
        locked = lock.tryLock(5000);
        if (WakeRunningShop(file))
            return true;
    }
    listen();
    if (locked)
        lock.unlock();
    return false;
}

QString ServerName() { return serverName(); }

bool WakeRunningShop(const QString& file) { return WakeShopAt(serverName(), file); }

bool WakeShopAt(const QString& name, const QString& file)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(500) || !peerIsThisUser(socket))
        return false;
    socket.write("show\n");
    // The running shop has its own working folder: the path goes absolute.
    if (!file.isEmpty())
        socket.write("open " + FileName::encode(QFileInfo(file).absoluteFilePath()).toPercentEncoding() + "\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

} // namespace MinToTray
