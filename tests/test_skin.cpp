#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "editor/menu2.h"
#include "app/frmart.h"
#include "app/startup.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/mainmenus.h"
#include "editor/menu1.h"
#include "editor/menu4.h"
#include "editor/menu7.h"
#include "editor/pageedit.h"
#include "platform/twips.h"
#include "skin/dirlist.h"
#include "skin/frmloadskin.h"
#include "skin/popupmenuform.h"
#include "skin/pushlabel.h"
#include "skin/reskin.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTimer>

namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A left click in the middle of the widget, as the mouse makes it.
void click(QWidget* w)
{
    const QPoint at = w->rect().center();
    send(w, QEvent::MouseButtonPress, at);
    send(w, QEvent::MouseButtonRelease, at);
}

using TestHelpers::doubleClickFolder;
using TestHelpers::rowOf;

// A click on the folder's row of the list.
void clickFolder(DirList* list, const QString& folder)
{
    const int row = rowOf(list, folder);
    ASSERT_GE(row, 0) << folder.toStdString();
    const QPoint at = list->visualItemRect(list->item(row)).center();
    send(list->viewport(), QEvent::MouseButtonPress, at);
    send(list->viewport(), QEvent::MouseButtonRelease, at);
}

QColor colourOf(const QString& bgr)
{
    const quint32 v = bgr.toUInt();
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// What the window shows at a pixel.
QColor shownAt(QWidget* w, int x, int y) { return w->grab().toImage().pixelColor(x, y); }
QColor bitmapAt(const QString& file, int x, int y) { return QImage(file).pixelColor(x, y); }

} // namespace

// ---- skin.ini values ----

class SkinValues : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
    }
    // A value as the skin folder's skin.ini on disk holds it.
    QColor colour(const QByteArray& value)
    {
        writeBytes("skins/default/skin.ini", "[skin]\r\ntextbg=" + value + "\r\n");
        return SkinFolder::ColourFromValue(SkinFolder::Value(SkinFolder::ResolveSkinFolder(), "textbg"));
    }
};

TEST_F(SkinValues, ColoursTakeTheLongestNumberAndNothingNumericIsBlack)
{
    EXPECT_EQ(colour("&HFF"), QColor(255, 0, 0));
    EXPECT_EQ(colour("&hff00"), QColor(0, 255, 0));
    EXPECT_EQ(colour("16711680"), QColor(0, 0, 255));
    EXPECT_EQ(colour("12abc"), QColor(12, 0, 0));
    EXPECT_EQ(colour(" 1 2"), QColor(12, 0, 0));
    EXPECT_EQ(colour("\t2\t5\t5"), QColor(255, 0, 0));
    EXPECT_EQ(colour("&O17"), QColor(15, 0, 0));
    EXPECT_EQ(colour("2.5"), QColor(2, 0, 0)) << "a tie goes to the even neighbour";
    EXPECT_EQ(colour("3.5"), QColor(4, 0, 0));
    EXPECT_EQ(colour(""), QColor(0, 0, 0));
    EXPECT_EQ(colour("teal"), QColor(0, 0, 0));
    writeBytes("skins/default/skin.ini", "[skin]\r\n");
    EXPECT_EQ(SkinFolder::ColourFromValue(SkinFolder::Value(SkinFolder::ResolveSkinFolder(), "textbg")), QColor(0, 0, 0))
        << "a missing key reads as empty";
}

TEST_F(SkinValues, TwipsAreStrictAndJunkKeepsNothing)
{
    const QString s = SkinFolder::ResolveSkinFolder();
    writeBytes("skins/default/skin.ini", "[skin]\r\ntop=45\r\nname=12abc\r\ncomment=\r\nrating=1e300\r\n");
    EXPECT_EQ(SkinFolder::TwipsValue(s, "top"), 45);
    EXPECT_FALSE(SkinFolder::TwipsValue(s, "name").has_value());
    EXPECT_FALSE(SkinFolder::TwipsValue(s, "comment").has_value());
    EXPECT_FALSE(SkinFolder::TwipsValue(s, "rating").has_value());
    EXPECT_FALSE(SkinFolder::TwipsValue(s, "artist").has_value());
}

TEST_F(SkinValues, SkinNoneIsResolvedByTheFirstWindowThatLoadsAndItPaintsFromTheDefault)
{
    ASSERT_EQ(CommonKit::Setting("SKIN"), "none");
    frmlink& link = Forms::get<frmlink>();
    EXPECT_TRUE(readBytes("quorl.ini").contains("SKIN=" + path("skins/default/").toUtf8() + "\r\n"));
    const QString ini = path("skins/default/skin.ini");
    EXPECT_EQ(link.Text1->palette().color(QPalette::Base),
              colourOf(CommonKit::ReadIni("skin", "textbg", ini)));
    EXPECT_EQ(shownAt(&link, 200, 120), bitmapAt(path("skins/default/frm2.bmp"), 200, 120));
}

// ---- the load-skin dialog ----

class LoadSkin : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        for (const char* skin : {"linen", "signal"})
            TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/") + skin, path("skins/") + skin);
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
    }

    frmmain& main() { return Forms::get<frmmain>(); }
    frmrect& rect() { return Forms::get<frmrect>(); }

    // The main window with its indicator and options panel, as after start-up.
    frmmain& shown()
    {
        frmmain& m = main();
        m.show();
        m.Timer8->stop();
        m.moveTwips(1500, 1500);
        rect().show();
        m.Dock();
        rect().Label4_Click();
        QCoreApplication::processEvents();
        return m;
    }

    // "&load skin" in the Files menu, opened by a press on its caption label.
    frmloadskin& openDialog()
    {
        send(main().Label2, QEvent::MouseButtonPress, {4, 4});
        send(main().Label2, QEvent::MouseButtonRelease, {4, 4});
        menu1& files = Forms::get<menu1>();
        EXPECT_TRUE(files.isVisible());
        click(files.item("&load skin"));
        EXPECT_FALSE(files.isVisible());
        frmloadskin* dialog = Forms::loaded<frmloadskin>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return *dialog;
    }

    // Opens the dialog, goes to skins/<name> by double clicks and presses "&Ok".
    void choose(const QString& name)
    {
        frmloadskin& dialog = openDialog();
        doubleClickFolder(dialog.Dir1, path("skins"));
        doubleClickFolder(dialog.Dir1, path("skins/" + name));
        ASSERT_EQ(dialog.Dir1->path(), path("skins/" + name));
        click(dialog.Label3);
    }

    // A skin folder made from the default one: without the named bitmap, with another skin.ini
    // (none when empty).
    void makeSkin(const QString& name, const QString& without = {}, const QByteArray& ini = {})
    {
        TestHelpers::copyTree(path("skins/default"), path("skins/" + name));
        QFile::remove(path("skins/" + name + "/skin.ini"));
        if (!without.isEmpty())
            QFile::remove(path("skins/" + name + "/" + without));
        if (!ini.isEmpty())
            writeBytes("skins/" + name + "/skin.ini", ini);
    }

    QByteArray storedSkin() const
    {
        const QByteArray ini = readBytes("quorl.ini");
        const QRegularExpressionMatch m = QRegularExpression("SKIN=([^\\r\\n]*)\\r\\n").match(QString::fromUtf8(ini));
        return m.captured(1).toUtf8();
    }

    bool stackShown()
    {
        return main().isVisible() && rect().isVisible() && Forms::loaded<ops>() && Forms::loaded<ops>()->isVisible();
    }
};

TEST_F(LoadSkin, OpeningStepsTheWindowsAsideAndCancelBringsThemBackAsTheyWere)
{
    shown();
    frmlink& link = Forms::get<frmlink>();
    link.Text1->setText("https://example.org/my-art");
    link.show();
    ops& panel = *Forms::loaded<ops>();
    click(panel.Label4); // "&lock boxes": the panel's state must survive the dialog
    ASSERT_EQ(panel.Label4->caption(), "&unlock");

    frmloadskin& dialog = openDialog();
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(rect().isVisible());
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(link.isVisible());
    EXPECT_EQ(dialog.Dir1->path(), path("skins/default")) << "the list opens at the stored skin";
    // Whole rows only: a row shown cut would take a click meant for it to the row above.
    const int row = dialog.Dir1->sizeHintForRow(0);
    ASSERT_GT(row, 0);
    EXPECT_EQ((dialog.Dir1->height() - 2 * dialog.Dir1->frameWidth()) % row, 0);
    EXPECT_GE(dialog.Dir1->height(), 5 * row);

    click(dialog.Label4);
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmloadskin>(), nullptr);
    EXPECT_TRUE(stackShown());
    EXPECT_TRUE(link.isVisible());
    EXPECT_EQ(link.Text1->text(), "https://example.org/my-art");
    EXPECT_EQ(panel.Label4->caption(), "&unlock");
    EXPECT_TRUE(main().Text1->isReadOnly());
    EXPECT_EQ(storedSkin(), path("skins/default/").toUtf8());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(LoadSkin, EscapeCancelsLikeTheCancelButton)
{
    shown();
    frmloadskin& dialog = openDialog();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &esc);
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmloadskin>(), nullptr);
    EXPECT_TRUE(stackShown());
}

TEST_F(LoadSkin, TheFolderListGoesUpAndDownByDoubleClicksAndShowsNoFiles)
{
    shown();
    frmloadskin& dialog = openDialog();
    DirList* list = dialog.Dir1;
    doubleClickFolder(list, path("skins"));
    EXPECT_EQ(list->path(), path("skins"));
    for (const char* sub : {"default", "linen", "signal"})
        EXPECT_GE(rowOf(list, path("skins/") + sub), 0) << sub;
    doubleClickFolder(list, path("skins/signal"));
    EXPECT_EQ(list->path(), path("skins/signal"));
    EXPECT_EQ(rowOf(list, path("skins/signal/iface.bmp")), -1);
    EXPECT_EQ(list->folderAt(list->count() - 1), path("skins/signal")) << "no files below the folder";
    // A single click only picks the row; the folder stays.
    clickFolder(list, path("skins"));
    EXPECT_EQ(list->path(), path("skins/signal"));
    EXPECT_EQ(list->selectedFolder(), path("skins"));
    // Enter opens the picked folder.
    list->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_EQ(list->path(), path("skins"));
}

TEST_F(LoadSkin, DesktopJumpsToTheDesktopFolderAndAMissingOneLeavesTheListWhereItWas)
{
    const QString desktop = path("my desktop");
    QDir().mkpath(desktop);
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs";
    {
        QFile f(dirs);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("XDG_DESKTOP_DIR=\"" + desktop.toUtf8() + "\"\n");
    }
    shown();
    frmloadskin& dialog = openDialog();
    click(dialog.Label2);
    EXPECT_EQ(dialog.Dir1->path(), desktop);
    EXPECT_TRUE(prompts.messages.isEmpty());

    doubleClickFolder(dialog.Dir1, path(""));
    QDir(desktop).removeRecursively();
    click(dialog.Label2);
    EXPECT_EQ(dialog.Dir1->path(), QDir::cleanPath(path("")));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "Desktop");
    EXPECT_TRUE(prompts.messages[0].text.contains(desktop));
    EXPECT_TRUE(dialog.isVisible());
    QFile::remove(dirs);
}

TEST_F(LoadSkin, AStoredFolderThatIsGoneOpensTheListAtTheDefaultSkinThenTheProgramFolder)
{
    CommonKit::SetSetting("SKIN", path("skins/vanished/"));
    frmloadskin::Open();
    frmloadskin& dialog = *Forms::loaded<frmloadskin>();
    EXPECT_EQ(dialog.Dir1->path(), path("skins/default")) << "the skin painted in its stead";
    EXPECT_EQ(CommonKit::Setting("SKIN"), path("skins/vanished/")) << "the setting is kept";
    QDir(path("skins")).removeRecursively();
    CommonKit::SetSetting("SKIN", "none");
    Forms::unload<frmloadskin>();
    QCoreApplication::processEvents();
    frmloadskin::Open();
    EXPECT_EQ(Forms::loaded<frmloadskin>()->Dir1->path(), QDir::cleanPath(path(""))) << "then the program folder";
}

TEST_F(LoadSkin, TenOfElevenBitmapsIsAnInvalidPathAndNothingIsStored)
{
    for (const char* missing : {"top.bmp", "bar.bmp", "extra.bmp"}) {
        SCOPED_TRACE(missing);
        QDir(path("skins/partial")).removeRecursively();
        makeSkin("partial", missing, "[skin]\r\nname=Partial\r\n");
        shown();
        prompts.messages.clear();
        choose("partial");
        ASSERT_EQ(prompts.messages.size(), 1);
        const QString text = prompts.messages[0].text;
        EXPECT_TRUE(text.startsWith("This is an invalid skin path please choose another path...\n\n")) << text.toStdString();
        EXPECT_TRUE(text.contains(QString("no ") + missing)) << text.toStdString();
        EXPECT_FALSE(text.contains("no skin.ini")) << text.toStdString();
        EXPECT_EQ(prompts.messages[0].title, "Invalid path");
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
        EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::Ok);
        EXPECT_EQ(storedSkin(), path("skins/default/").toUtf8());
        EXPECT_TRUE(Forms::loaded<frmloadskin>()->isVisible()) << "the dialog stays for another folder";
        EXPECT_FALSE(main().isVisible());
        click(Forms::loaded<frmloadskin>()->Label4);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(process.restarts, 0);
}

TEST_F(LoadSkin, WithoutSkinIniTheFolderIsStillStoredAndNoRestartsTheProgram)
{
    makeSkin("bare");
    shown();
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::No};
    choose("bare");
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0].title, "Missing ini");
    EXPECT_TRUE(prompts.messages[0].text.startsWith(
        "You are missing the skin ini in this path. This skin will still be loaded but it will not have any "
        "information... Text Colors and other can be set with the font properties on the options menu.\n\n"))
        << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains("no skin.ini")) << prompts.messages[0].text.toStdString();
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
    EXPECT_EQ(prompts.messages[1].text, "Press 'Yes' to load skin now or press 'No' exit this program and reload it.");
    EXPECT_EQ(prompts.messages[1].title, "Skin");
    EXPECT_EQ(prompts.messages[1].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(prompts.messages[1].icon, Prompts::Icon::Critical);
    EXPECT_EQ(storedSkin(), path("skins/bare/").toUtf8());
    EXPECT_EQ(process.restarts, 1);
    EXPECT_EQ(process.ends, 1);
    EXPECT_TRUE(clock.waits.isEmpty()) << "nothing of the reskinning runs before the end";
}

TEST_F(LoadSkin, WithoutSkinIniYesLoadsItWithTheDefaultSkinsColoursAndTheDesignedPlacesAndFonts)
{
    makeSkin("bare");
    shown();
    const QString designedFace = main().Label2->font().family();
    const int designedTop = main().Label2->y();
    // A skin that moves and changes them first, so going back is seen.
    makeSkin("moved", {}, "[skin]\r\nmenubarfont=Quorl Test Face\r\ntop=300\r\nmenubar=255\r\n");
    prompts.answers = {Prompts::Answer::Yes};
    choose("moved");
    ASSERT_EQ(main().Label2->font().family(), "Quorl Test Face");
    ASSERT_EQ(main().Label2->y(), Twips::toPixels(300));

    prompts.messages.clear();
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Yes};
    choose("bare");
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0].title, "Missing ini");
    EXPECT_EQ(storedSkin(), path("skins/bare/").toUtf8());
    EXPECT_EQ(process.restarts, 0);
    EXPECT_TRUE(stackShown());
    EXPECT_EQ(main().Label2->font().family(), designedFace);
    EXPECT_EQ(main().Label2->y(), designedTop);
    // Every colour the skin lacks is the default skin's, so nothing turns black on black.
    const QString d = path("skins/default/");
    EXPECT_EQ(main().Label2->palette().color(QPalette::WindowText), SkinFolder::Colour(d, "menubar"));
    EXPECT_EQ(main().Text2->palette().color(QPalette::Base), SkinFolder::Colour(d, "textbg"));
    EXPECT_NE(SkinFolder::Colour(d, "textbg"), QColor(0, 0, 0));
}

TEST_F(LoadSkin, YesRepaintsEveryOpenWindowAnnouncesTheSkinAndBringsTheWindowsBack)
{
    ChatClientLauncher client;
    START(client);
    shown();
    frmlink& link = Forms::get<frmlink>();
    link.show();
    // The menus were opened once before, so they are loaded with the old skin.
    send(main().Label2, QEvent::MouseButtonPress, {4, 4});
    send(main().Label2, QEvent::MouseButtonPress, {4, 4});
    Forms::get<menu7>();

    prompts.answers = {Prompts::Answer::Yes};
    choose("linen");
    QCoreApplication::processEvents();

    const QString s = path("skins/linen/");
    auto value = [&](const char* key) { return CommonKit::ReadIni("skin", key, s + "skin.ini"); };
    EXPECT_EQ(storedSkin(), s.toUtf8());
    ASSERT_EQ(prompts.messages.size(), 1) << "only the question";
    EXPECT_EQ(Forms::loaded<frmloadskin>(), nullptr);
    EXPECT_EQ(Forms::loaded<frmart>(), nullptr) << "the progress window is gone";
    EXPECT_TRUE(stackShown());
    EXPECT_TRUE(link.isVisible());

    // The main window: picture, pages, string list, menu-bar labels.
    EXPECT_EQ(shownAt(&main(), 60, 30), bitmapAt(s + "iface.bmp", 60, 30));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(main().page(n)->palette().color(QPalette::Base), colourOf(value("textbg")));
        EXPECT_EQ(main().page(n)->palette().color(QPalette::Text), colourOf(value("textfore")));
    }
    EXPECT_EQ(main().List1->palette().color(QPalette::Base), colourOf(value("textbg")));
    EXPECT_EQ(main().Label3->palette().color(QPalette::WindowText), colourOf(value("menubar")));
    // The docked panels and the open dialog.
    EXPECT_EQ(shownAt(&rect(), 100, 2), bitmapAt(s + "frmrect.bmp", 100, 2));
    EXPECT_EQ(rect().Label1->palette().color(QPalette::WindowText), colourOf(value("frmrectfore")));
    ops& panel = *Forms::loaded<ops>();
    EXPECT_EQ(panel.Image7->pixmap().toImage().pixelColor(30, 10), bitmapAt(s + "button.bmp", 30, 10));
    EXPECT_EQ(panel.Label7->palette().color(QPalette::WindowText), colourOf(value("buttonfore")));
    EXPECT_EQ(link.Text2->palette().color(QPalette::Base), colourOf(value("textbg")));
    EXPECT_EQ(link.Label1->palette().color(QPalette::WindowText), colourOf(value("frmtitlebar")));

    // The chat room heard of it, with the pauses of the banner after the first 0.3 s.
    QList<QByteArray> lines;
    for (const auto& line : client.transcript())
        lines << line.bytes;
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains("<b>s</b>kin <b>c</b>hanged <b>t</b>o: <b>Linen Morning |")) << lines[1].constData();
    EXPECT_TRUE(lines[2].contains("<b>s</b>kin <b>b</b>y: <b>Pell Aversano</b> |")) << lines[2].constData();
    EXPECT_EQ(clock.waits, (QList<double>{0.3, 0.1, 0.1, 0.1}));
}

TEST_F(LoadSkin, AfterAChangeEachMenuOpensInTheNewSkin)
{
    shown();
    // Loaded with the old skin: the Files menu and the Help menu by their captions.
    send(main().Label2, QEvent::MouseButtonPress, {4, 4});
    send(main().Label2, QEvent::MouseButtonPress, {4, 4});
    send(main().Label4, QEvent::MouseButtonPress, {4, 4});
    send(main().Label4, QEvent::MouseButtonPress, {4, 4});
    ASSERT_NE(Forms::loaded<menu4>(), nullptr);

    prompts.answers = {Prompts::Answer::Yes};
    choose("signal");
    const QString s = path("skins/signal/");
    auto value = [&](const char* key) { return CommonKit::ReadIni("skin", key, s + "skin.ini"); };

    send(main().Label4, QEvent::MouseButtonPress, {4, 4});
    menu4& help = *Forms::loaded<menu4>();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.palette().color(QPalette::Window), colourOf(value("mnubg")));
    PushLabel* item = help.item("&about skin");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->palette().color(QPalette::WindowText), colourOf(value("fontcolor")));
    EXPECT_EQ(item->font().family(), value("mnufont"));
    EXPECT_EQ(help.bar->pixmap().toImage().pixelColor(6, 5), bitmapAt(s + "bar.bmp", 6, 5));
    EXPECT_EQ(help.btop->pixmap().toImage().pixelColor(3, 1), bitmapAt(s + "top.bmp", 3, 1));
    EXPECT_EQ(shownAt(&help, 2, help.height() / 2), bitmapAt(s + "bar.bmp", 2, help.height() / 2));
    for (const QFrame* line : help.lines())
        EXPECT_EQ(line->palette().color(QPalette::WindowText), colourOf(value("fontcolor")));
}

TEST_F(LoadSkin, SeparatorsFollowTheNewSkinBothWays)
{
    makeSkin("nosep", {}, "[skin]\r\ntopnbottomsep=False\r\n");
    makeSkin("lowersep", {}, "[skin]\r\ntopnbottomsep=false\r\n");
    shown();
    menu7& window = Forms::get<menu7>();
    prompts.answers = {Prompts::Answer::Yes};
    choose("nosep");
    EXPECT_TRUE(window.lines().first()->isHidden());
    EXPECT_TRUE(window.lines().last()->isHidden());
    EXPECT_FALSE(window.lines()[1]->isHidden());
    EXPECT_TRUE(Forms::get<menu1>().lines().first()->isHidden()) << "a menu loaded afterwards too";

    prompts.answers = {Prompts::Answer::Yes};
    choose("lowersep");
    EXPECT_FALSE(window.lines().first()->isHidden());
    EXPECT_FALSE(window.lines().last()->isHidden());
}

TEST_F(LoadSkin, WindowsLoadedAfterAChangePaintFromTheNewSkin)
{
    shown();
    prompts.answers = {Prompts::Answer::Yes};
    choose("signal");
    const QString s = path("skins/signal/");
    frmhandle& handleDialog = Forms::get<frmhandle>();
    EXPECT_EQ(shownAt(&handleDialog, 40, 60), bitmapAt(s + "frm.bmp", 40, 60));
    EXPECT_EQ(handleDialog.Image1->pixmap().toImage().pixelColor(1, 1), bitmapAt(s + "button.bmp", 1, 1));
    frmloadskin::Open();
    frmloadskin& dialog = *Forms::loaded<frmloadskin>();
    EXPECT_EQ(dialog.Dir1->path(), QDir::cleanPath(s));
    EXPECT_EQ(dialog.Dir1->font().family(), CommonKit::ReadIni("skin", "mnufont", s + "skin.ini"));
}

TEST_F(LoadSkin, ABitmapThatIsNotAPictureIsNamedOnceAndTheRestOfTheSkinLoads)
{
    makeSkin("cracked", {}, "[skin]\r\ntextbg=255\r\nname=Cracked\r\n");
    writeBytes("skins/cracked/button.bmp", "this is not a picture\n");
    shown();
    prompts.answers = {Prompts::Answer::Yes};
    choose("cracked");
    QCoreApplication::processEvents(); // the message follows once the change is done
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].title, "Skin");
    EXPECT_TRUE(prompts.messages[1].text.contains(path("skins/cracked/button.bmp"))) << prompts.messages[1].text.toStdString();
    EXPECT_EQ(prompts.messages[1].text.count(".bmp"), 1);
    EXPECT_TRUE(stackShown());
    EXPECT_TRUE(Forms::loaded<ops>()->Image1->pixmap().isNull()) << "the button faces are plain";
    EXPECT_EQ(main().Text1->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(shownAt(&main(), 60, 30), bitmapAt(path("skins/cracked/iface.bmp"), 60, 30));
    // Another window with buttons loads without a second message.
    Forms::get<frmlink>().show();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.messages.size(), 2);
}

TEST_F(LoadSkin, JunkInSkinIniLoadsWithBlackAndTheDesignedValues)
{
    QByteArray junk = "\xff\xfe garbage\r\n[skin\r\n=\r\ntop=\x01\x02\r\n[skin]\r\ntextbg=&Hzz\r\nmenubarfont=\r\ntop=abc\r\n";
    junk += QByteArray(2000, 'x') + "\r\nmnubg=12abc\r\n";
    makeSkin("junk", {}, junk);
    shown();
    const int designedTop = main().Label2->y();
    prompts.answers = {Prompts::Answer::Yes};
    choose("junk");
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(stackShown());
    EXPECT_EQ(main().Label2->y(), designedTop);
    EXPECT_EQ(main().Text1->palette().color(QPalette::Base), QColor(0, 0, 0));
    send(main().Label2, QEvent::MouseButtonPress, {4, 4});
    EXPECT_EQ(Forms::loaded<menu1>()->palette().color(QPalette::Window), QColor(12, 0, 0));
}

TEST_F(LoadSkin, ASettingsFileThatCannotTakeTheFolderIsToldAndNothingChanges)
{
    shown();
    frmloadskin& dialog = openDialog();
    doubleClickFolder(dialog.Dir1, path("skins"));
    doubleClickFolder(dialog.Dir1, path("skins/linen"));
    // The settings file turned into a folder: nothing can be written there.
    QFile::remove(path("quorl.ini"));
    QDir().mkpath(path("quorl.ini"));
    click(dialog.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "Skin");
    EXPECT_TRUE(prompts.messages[0].text.contains("could not be stored")) << prompts.messages[0].text.toStdString();
    EXPECT_EQ(process.restarts, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoadSkin, OkTakesTheFolderPickedWithOneClick)
{
    shown();
    frmloadskin& dialog = openDialog();
    doubleClickFolder(dialog.Dir1, path("skins"));
    clickFolder(dialog.Dir1, path("skins/linen"));
    prompts.answers = {Prompts::Answer::Yes};
    click(dialog.Label3);
    EXPECT_EQ(storedSkin(), path("skins/linen/").toUtf8());
}

// A window menu that keeps its designed look and takes only the side strip from the skin.
class BarOnlyMenu : public PopupMenuForm {
public:
    BarOnlyMenu()
    {
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(1, 2, 3));
        setPalette(p);
        setAutoFillBackground(true);
        setBarOnlySkin(true);
        addItem("&move");
        addSeparator();
        addItem("&close");
        finishLayout(2250);
    }
};

TEST_F(LoadSkin, AMenuThatTakesOnlyTheSideStripKeepsItsLookButFollowsTheSeparatorRule)
{
    makeSkin("nosep", {}, "[skin]\r\ntopnbottomsep=False\r\nmnubg=255\r\nmnufont=Quorl Test Face\r\n");
    shown();
    BarOnlyMenu& menu = Forms::get<BarOnlyMenu>();
    const QString face = menu.item("&move")->font().family();
    prompts.answers = {Prompts::Answer::Yes};
    choose("nosep");
    EXPECT_EQ(menu.palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(menu.item("&move")->font().family(), face);
    EXPECT_TRUE(menu.btop->pixmap().isNull());
    EXPECT_EQ(menu.bar->pixmap().toImage().pixelColor(6, 5), bitmapAt(path("skins/nosep/bar.bmp"), 6, 5));
    EXPECT_TRUE(menu.lines().first()->isHidden());
    EXPECT_TRUE(menu.lines().last()->isHidden());
    EXPECT_FALSE(menu.lines()[1]->isHidden());
}

// ---- start-up ----

class StartupSkin : public LoadSkin {
protected:
    frmmain& launch()
    {
        Startup::Launch();
        frmmain& m = Forms::get<frmmain>();
        if (m.Timer8->isActive())
            m.Timer8_Timer();
        return m;
    }
};

TEST_F(StartupSkin, TheStoredSkinPaintsTheMainWindowAndItsPanels)
{
    const QString s = path("skins/signal/");
    CommonKit::SetSetting("SKIN", s);
    CommonKit::SetSetting("OPTIONSWIN", "True");
    frmmain& m = launch();
    auto value = [&](const char* key) { return CommonKit::ReadIni("skin", key, s + "skin.ini"); };
    ASSERT_TRUE(m.isVisible());
    EXPECT_EQ(shownAt(&m, 60, 30), bitmapAt(s + "iface.bmp", 60, 30));
    EXPECT_EQ(m.Text4->palette().color(QPalette::Base), colourOf(value("textbg")));
    EXPECT_EQ(m.List1->palette().color(QPalette::Text), colourOf(value("textfore")));
    EXPECT_EQ(m.Label5->palette().color(QPalette::WindowText), colourOf(value("menubar")));
    EXPECT_EQ(m.Label5->font().family(), value("menubarfont"));
    EXPECT_EQ(shownAt(&rect(), 100, 2), bitmapAt(s + "frmrect.bmp", 100, 2));
    EXPECT_EQ(rect().Label5->palette().color(QPalette::WindowText), colourOf(value("frmrectfore")));
    ASSERT_TRUE(Forms::loaded<ops>() && Forms::loaded<ops>()->isVisible());
    EXPECT_EQ(shownAt(Forms::loaded<ops>(), 3, 50), bitmapAt(s + "ops.bmp", 3, 50));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(StartupSkin, AStoredFolderThatIsGonePaintsFromTheDefaultSkinAndKeepsTheSetting)
{
    CommonKit::SetSetting("SKIN", path("skins/gone/"));
    frmmain& m = launch();
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(shownAt(&m, 60, 30), bitmapAt(path("skins/default/iface.bmp"), 60, 30));
    EXPECT_EQ(storedSkin(), path("skins/gone/").toUtf8());
}

TEST_F(StartupSkin, WithoutAnySkinFolderTheShopStartsPlainAndSaysSoOnce)
{
    QDir(path("skins")).removeRecursively();
    CommonKit::SetSetting("SKIN", path("skins/gone/"));
    CommonKit::SetSetting("OPTIONSWIN", "True");
    frmmain& m = launch();
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(rect().isVisible());
    ASSERT_EQ(prompts.messages.size(), 1);
    // The stored folder; a second run builds no first-run dialog, so its default picture is not missed.
    EXPECT_TRUE(prompts.messages[0].text.contains(path("skins/gone/"))) << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(prompts.messages[0].text.contains(path("skins/default/")));
    EXPECT_EQ(prompts.messages[0].text.count(".bmp"), 0) << "folders, not each of their files";
    // Menus loaded later say nothing more.
    send(m.Label2, QEvent::MouseButtonPress, {4, 4});
    EXPECT_TRUE(Forms::loaded<menu1>()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(StartupSkin, ASkinOfBrokenPicturesIsNamedInOneMessageAndNotAgainWhenTheMacroShopOpens)
{
    makeSkin("broken", {}, "[skin]\r\nname=Broken\r\n");
    const QStringList broken = {"iface.bmp", "frmdraw.bmp", "button.bmp", "ops.bmp", "bar.bmp", "top.bmp"};
    for (const QString& b : broken)
        writeBytes("skins/broken/" + b, b == "top.bmp" ? QByteArray() : QByteArray("BM but not a picture\n"));
    CommonKit::SetSetting("SKIN", path("skins/broken/"));
    CommonKit::SetSetting("OPTIONSWIN", "True");
    frmmain& m = launch();
    QCoreApplication::processEvents();
    ASSERT_TRUE(m.isVisible());
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString text = prompts.messages[0].text;
    EXPECT_EQ(prompts.messages[0].title, "Skin");
    for (const QString& b : broken)
        EXPECT_TRUE(text.contains(path("skins/broken/" + b))) << text.toStdString();
    EXPECT_EQ(text.count(".bmp"), broken.size()) << "each named once, the readable ones not at all";

    // The macro shop, opened from the Options menu, paints plain without a word more.
    click(m.Label3);
    menu2& options = Forms::get<menu2>();
    ASSERT_TRUE(options.isVisible());
    click(options.item("&macros shop"));
    QCoreApplication::processEvents();
    frmdraw* shop = Forms::loaded<frmdraw>();
    ASSERT_TRUE(shop && shop->isVisible());
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(StartupSkin, PicturesChangedAfterTheStartAreDrawnFromTheirFilesAndABrokenOneIsNamed)
{
    const QString s = path("skins/signal/");
    CommonKit::SetSetting("SKIN", s);
    frmmain& m = launch();
    QCoreApplication::processEvents();
    ASSERT_TRUE(m.isVisible());
    ASSERT_TRUE(prompts.messages.isEmpty());
    // The start decoded every picture of the skin; two of them change on the disk afterwards.
    QImage repainted(362, 240, QImage::Format_RGB32);
    repainted.fill(QColor(1, 2, 3));
    ASSERT_TRUE(repainted.save(s + "frm2.bmp", "BMP"));
    writeBytes("skins/signal/frm.bmp", "BM no longer a picture\n");

    frmlink& link = Forms::get<frmlink>();
    link.show();
    EXPECT_EQ(shownAt(&link, 200, 120), QColor(1, 2, 3)) << "the new picture, not the one decoded at the start";
    Forms::get<frmhandle>().show();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(s + "frm.bmp")) << prompts.messages[0].text.toStdString();
}

// ---- about skin ----

class AboutSkin : public LoadSkin {
protected:
    // Records whether the main window was shown while the box was up.
    struct Watching : ScriptedPrompts {
        QList<bool> mainShown;
        Prompts::Answer messageBox(const QString& text, const QString& title, Prompts::Buttons buttons,
                                   Prompts::Icon icon) override
        {
            const frmmain* m = Forms::loaded<frmmain>();
            mainShown << (m && m->isVisible());
            return ScriptedPrompts::messageBox(text, title, buttons, icon);
        }
    } watching;

    void aboutSkinFromTheHelpMenu()
    {
        Prompts::install(&watching);
        send(main().Label4, QEvent::MouseButtonPress, {4, 4});
        click(Forms::loaded<menu4>()->item("&about skin"));
    }
};

TEST_F(AboutSkin, TheHelpMenuShowsNameArtistRatingAndComment)
{
    CommonKit::SetSetting("SKIN", path("skins/linen/"));
    shown();
    aboutSkinFromTheHelpMenu();
    ASSERT_EQ(watching.messages.size(), 1);
    EXPECT_EQ(watching.messages[0].title, "Linen Morning");
    EXPECT_EQ(watching.messages[0].text,
              "Skin name:        Linen Morning\rArtist name:    Pell Aversano\rRating:             4 of 5 - bright "
              "and calm\r\rComments:      Warm paper and a terracotta thread, for art made by daylight.");
    EXPECT_EQ(watching.messages[0].icon, Prompts::Icon::Critical);
    EXPECT_EQ(watching.mainShown, (QList<bool>{false})) << "the windows step aside for the box";
    EXPECT_FALSE(Forms::loaded<menu4>()->isVisible());
    EXPECT_TRUE(stackShown());
}

TEST_F(AboutSkin, ASkinWithoutIniShowsTheLabelsWithEmptyValues)
{
    makeSkin("bare");
    CommonKit::SetSetting("SKIN", path("skins/bare/"));
    shown();
    aboutSkinFromTheHelpMenu();
    ASSERT_EQ(watching.messages.size(), 1);
    EXPECT_EQ(watching.messages[0].title, "");
    EXPECT_EQ(watching.messages[0].text, "Skin name:        \rArtist name:    \rRating:             \r\rComments:      ");
}

// ---- every shipped skin ----

TEST(ShippedSkins, EachHasElevenBitmapsOfTheirSizesAndAFullSkinIni)
{
    const QList<QPair<const char*, QSize>> sizes = {
        {"iface.bmp", {248, 150}}, {"frmrect.bmp", {248, 22}}, {"ops.bmp", {248, 104}},  {"button.bmp", {76, 20}},
        {"frm.bmp", {320, 136}},   {"frm2.bmp", {360, 240}},   {"frmdraw.bmp", {600, 400}}, {"extra.bmp", {96, 400}},
        {"bar.bmp", {14, 400}},    {"top.bmp", {160, 6}},      {"bottom.bmp", {160, 6}},
    };
    QStringList names;
    for (const char* skin : {"default", "linen", "signal"}) {
        SCOPED_TRACE(skin);
        const QString folder = QStringLiteral(QUORL_SOURCE_DIR "/data/skins/") + skin + "/";
        EXPECT_TRUE(SkinFolder::MissingBitmaps(folder).isEmpty());
        for (const auto& [file, size] : sizes)
            EXPECT_EQ(QImage(folder + file).size(), size) << file;
        for (const char* key : {"name", "artist", "rating", "comment", "mnufont", "menubarfont"})
            EXPECT_FALSE(CommonKit::ReadIni("skin", key, folder + "skin.ini").isEmpty()) << key;
        for (const char* key : {"textbg", "textfore", "mnubg", "fontcolor", "buttonfore", "menubar"}) {
            bool number = false;
            CommonKit::ReadIni("skin", key, folder + "skin.ini").toUInt(&number);
            EXPECT_TRUE(number) << key;
        }
        // Text stays readable on its background.
        const QColor bg = colourOf(CommonKit::ReadIni("skin", "textbg", folder + "skin.ini"));
        const QColor fg = colourOf(CommonKit::ReadIni("skin", "textfore", folder + "skin.ini"));
        EXPECT_GT(std::abs(bg.lightness() - fg.lightness()), 150);
        names << CommonKit::ReadIni("skin", "name", folder + "skin.ini");
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 3);
}

// ---- the skin layer stays below the windows ----

TEST(SkinLayer, IncludesNoWindowOfAnotherFolder)
{
    const QRegularExpression include(R"(#include\s+"(\w+)/)");
    QDirIterator it(QStringLiteral(QUORL_SOURCE_DIR "/src/skin"), {"*.h", "*.cpp"}, QDir::Files);
    int files = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ++files;
        auto matches = include.globalMatch(QString::fromUtf8(f.readAll()));
        while (matches.hasNext()) {
            const QString folder = matches.next().captured(1);
            EXPECT_TRUE(folder == "skin" || folder == "core" || folder == "platform")
                << file.toStdString() << " includes " << folder.toStdString();
        }
    }
    EXPECT_GE(files, 10);
}
