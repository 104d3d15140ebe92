// Takes the pictures in docs/screens/: every window and menu of the shop in every shipped skin,
// read back from the X display it runs on (tools/screens.sh gives it a private one).
//
//   quorl-screens OUT_DIR
#include "support/helpers.h"

#include "app/frmart.h"
#include "app/frmwelcome.h"
#include "app/startup.h"
#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/addascii.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/frmsetascii.h"
#include "editor/pageedit.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu4.h"
#include "editor/menu5.h"
#include "editor/menu7.h"
#include "effects/applyfilter.h"
#include "effects/filtertarget.h"
#include "effects/frmfader.h"
#include "help/frmhelp.h"
#include "help/helptexts.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "macroshop/mnu4.h"
#include "macroshop/mnu5.h"
#include "macroshop/mnu6.h"
#include "mail/frmbug.h"
#include "mail/frmemail.h"
#include "platform/twips.h"
#include "skin/dirlist.h"
#include "skin/frmloadskin.h"
#include "skin/popupmenuform.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

QString out;
QString skin;
int taken = 0;

// Lets the window system map and paint what was shown.
void settle(int ms = 400)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the display shows of these windows, one picture.
void shoot(const QString& name, const QList<QWidget*>& windows)
{
    settle();
    QRect area;
    for (QWidget* w : windows)
        if (w && w->isVisible()) {
            area = area.united(w->frameGeometry());
            if (qEnvironmentVariableIsSet("QUORL_SCREENS_DEBUG"))
                std::fprintf(stderr, "%s %s %d,%d %dx%d\n", qPrintable(name), qPrintable(w->objectName()),
                             w->frameGeometry().x(), w->frameGeometry().y(), w->frameGeometry().width(),
                             w->frameGeometry().height());
        }
    if (area.isEmpty()) {
        std::fprintf(stderr, "screens: %s shows nothing\n", qPrintable(name));
        return;
    }
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString file = out + "/" + skin + "-" + name + ".png";
    if (!shot.save(file))
        std::fprintf(stderr, "screens: cannot write %s\n", qPrintable(file));
    else
        ++taken;
}

void hideAll()
{
    for (QWidget* w : Forms::loadedWindows())
        w->hide();
}

// The main window's stack at a fixed place, as after start-up.
frmmain& stack()
{
    frmmain& m = Forms::get<frmmain>();
    m.show();
    m.moveTwips(1500, 1500);
    m.Dock();
    Forms::get<frmrect>().show();
    if (Forms::get<frmrect>().optionsOpen())
        Forms::get<ops>().show();
    else
        Forms::get<frmrect>().Label4_Click();
    m.Dock();
    return m;
}

// A menu opened below the label that opens it.
void menu(const QString& name, PopupMenuForm& m, QWidget* under, const QList<QWidget*>& with)
{
    const QPoint at = under->mapToGlobal(QPoint(0, under->height()));
    m.showAt(Twips::fromPixels(at.x()), Twips::fromPixels(at.y()));
    // A menu that lost the focus to the window manager's shuffle is shown again for the picture.
    settle(150);
    if (!m.isVisible())
        m.show();
    QList<QWidget*> windows = with;
    windows << &m;
    shoot(name, windows);
    m.hide();
}

void dialog(const QString& name, QWidget& w)
{
    hideAll();
    w.show();
    w.raise();
    shoot(name, {&w});
    w.hide();
}

void shootSkin(const QString& programFolder)
{
    CommonKit::SetSetting("SKIN", programFolder + "/skins/" + skin + "/");
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Startup::Launch();
    frmmain& m = stack();
    if (m.Timer8->isActive())
        m.Timer8_Timer();
    m.Text1->setText(" .-~*~-. quorl .-~*~-.");
    m.Text2->setText("<(( slate  linen  signal ))>");
    hideAll();
    frmmain& main = stack();
    const QList<QWidget*> mainStack{&main, &Forms::get<frmrect>(), Forms::loaded<ops>()};
    shoot("main", mainStack);
    menu("main-files", Forms::get<menu1>(), main.Label2, mainStack);
    menu("main-options", Forms::get<menu2>(), main.Label3, mainStack);
    menu("main-edit", Forms::get<menu3>(), main.Label5, mainStack);
    menu("main-help", Forms::get<menu4>(), main.Label4, mainStack);
    menu("main-other-options", Forms::get<menu5>(), main.Label4, mainStack);
    menu("main-window", Forms::get<menu7>(), main.Label1, mainStack);

    hideAll();
    frmdraw& shop = Forms::get<frmdraw>();
    shop.moveTwips(6000, 1500);
    shop.show();
    frmasc& map = Forms::get<frmasc>();
    map.DockBeside(shop);
    map.show();
    shop.Text1->setPlainText("   (\\/)  -|>  <|-  v^\n  quorl ascii shop\n");
    const QList<QWidget*> shopPair{&shop, &map};
    shoot("macroshop", shopPair);
    menu("macroshop-files", Forms::get<mnu1>(), shop.Label2, shopPair);
    menu("macroshop-options", Forms::get<mnu2>(), shop.Label3, shopPair);
    menu("macroshop-strings", Forms::get<mnu3>(), shop.Label4, shopPair);
    menu("macroshop-edit", Forms::get<mnu4>(), shop.Label5, shopPair);
    menu("macroshop-help", Forms::get<mnu5>(), shop.Label6, shopPair);
    menu("macroshop-window", Forms::get<mnu6>(), shop.Label1, shopPair);
    menu("macroshop-macros", Forms::get<mnu18>(), shop.Label3, shopPair);
    shop.SetWide(true);
    map.DockBeside(shop);
    shoot("macroshop-wide", shopPair);
    shop.SetWide(false);
    map.DockBeside(shop);
    shop.Maximize();
    shoot("macroshop-maximized", shopPair);
    shop.RestoreSize();

    dialog("charmap", Forms::get<frmchr>());
    dialog("fader", frmfader::Open());
    dialog("filters", applyfilter::Open(FilterTarget::forBox(shop.Text1)));
    hideAll();
    frmloadskin& load = Forms::get<frmloadskin>();
    load.Dir1->setPath(programFolder + "/skins");
    dialog("loadskin", load);
    dialog("link", Forms::get<frmlink>());
    frmhelp& help = Forms::get<frmhelp>();
    help.showText("&beta testers", HelpTexts::BetaTesters());
    dialog("help", help);
    dialog("handle", Forms::get<frmhandle>());
    dialog("addascii", Forms::get<addascii>());
    dialog("setascii", Forms::get<frmsetascii>());
    dialog("email", Forms::get<frmemail>());
    dialog("bug", Forms::get<frmbug>());
    dialog("welcome", Forms::get<frmwelcome>());
    dialog("splash", Forms::get<frmart>());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorl-screens OUT_DIR\n");
        return 2;
    }
    QTemporaryDir home;
    // The display is the one the script gave, not the offscreen one the tests use.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    TestHelpers::isolate(home.path());
    QApplication app(argc, argv);
    out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    // The program folder at a fixed, neutral place: the load-skin picture shows its path.
    const QString folder = QStringLiteral("/tmp/quorl/shop");
    QDir().mkpath("/tmp/quorl");
    QLockFile lock("/tmp/quorl/screens.lock");
    if (!lock.tryLock(0)) {
        std::fprintf(stderr, "screens: another run uses %s\n", qPrintable(folder));
        return 1;
    }
    QDir(folder).removeRecursively();
    TestHelpers::makeProgramFolder(folder);
    for (const char* s : {"linen", "signal"})
        TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/") + s, folder + "/skins/" + s);
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/Filters"), folder + "/Filters");
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/macros"), folder + "/macros");
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", "tester");
    CommonKit::SetSetting("LOADED", "5");
    for (const char* s : {"default", "linen", "signal"}) {
        skin = s;
        shootSkin(folder);
    }
    Forms::unloadAll();
    QDir(folder).removeRecursively();
    std::printf("%d pictures in %s\n", taken, qPrintable(out));
    return taken > 0 ? 0 : 1;
}
