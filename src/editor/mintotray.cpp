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
#include <unistd.h>

namespace MinToTray {

namespace {

QPointer<QLocalServer> server;

// One name per user and program folder, so two installed shops do not wake each other.
QString serverName()
{
    const QByteArray key = ProgramFolder::path().toUtf8() + '\n' + QByteArray::number(::getuid());
    return "quorl-" + QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16);
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
        while (QLocalSocket* s = server->nextPendingConnection())
            s->deleteLater();
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

bool WakeRunningShop()
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(500))
        return false;
    socket.write("show\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

} // namespace MinToTray
