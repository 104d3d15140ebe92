#include "mintotray.h"

#include "chat/ops.h"
#include "core/forms.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "help/frmhelp.h"
#include "platform/progfolder.h"
#include "shell/systrayicon.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <sys/socket.h>
#include <unistd.h>

namespace MinToTray {

namespace {

QPointer<QLocalServer> server;

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
    if (server)
        return;
    server = new QLocalServer(&Forms::get<frmmain>());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName());
    if (!server->listen(serverName())) {
        delete server;
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [] {
        bool wake = false;
        while (QLocalSocket* s = server->nextPendingConnection()) {
            wake = wake || peerIsThisUser(*s);
            s->deleteLater();
        }
        if (wake)
            Restore();
    });
}

} // namespace

void Hide()
{
    frmmain& main = Forms::get<frmmain>();
    if (!systrayicon::TrayAvailable()) {
        main.Minimize();
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
    if (auto* w = Forms::loaded<frmhelp>())
        w->hide();
}

void Restore(bool restoreState)
{
    if (QLocalServer* s = server.data()) {
        server = nullptr;
        s->close();
        s->deleteLater();
    }
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
    main.raise();
    main.activateWindow();
}

bool IsHidden() { return !server.isNull(); }

QString ServerName() { return serverName(); }

bool WakeRunningShop() { return WakeShopAt(serverName()); }

bool WakeShopAt(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(500) || !peerIsThisUser(socket))
        return false;
    socket.write("show\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

} // namespace MinToTray
