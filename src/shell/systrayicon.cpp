#include "systrayicon.h"

#include "core/forms.h"
#include "editor/mintotray.h"
#include "help/artwork.h"
#include "shell/form1.h"

#include <QApplication>
#include <QPointer>
#include <QSystemTrayIcon>

namespace systrayicon {

namespace {
QPointer<QSystemTrayIcon> icon;
}

void AddTrayIcon()
{
    if (icon) {
        // The menu's window may have been unloaded and loaded afresh since.
        if (!icon->contextMenu())
            icon->setContextMenu(Forms::get<Form1>().file);
        return;
    }
    // The main window's icon; the shop's own picture where none is set.
    const QIcon picture = QApplication::windowIcon().isNull() ? Artwork::ProgramIcon() : QApplication::windowIcon();
    icon = new QSystemTrayIcon(picture, qApp);
    icon->setToolTip("quorl ascii shop");
    icon->setContextMenu(Forms::get<Form1>().file);
    QObject::connect(icon, &QSystemTrayIcon::activated, icon, [](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
            MinToTray::Restore();
    });
    icon->show();
}

void RemoveTrayIcon()
{
    if (!icon)
        return;
    icon->hide();
    delete icon;
}

bool TrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QSystemTrayIcon* Icon() { return icon; }

} // namespace systrayicon
