// Work is never lost: the paths where a quit, a restart, a full disk, a large file or a second
// launch could throw away what the user made, driven by clicks and keys, files read back.
#include "support/helpers.h"
#include "support/shoptest.h"

#include "app/startup.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/savefile.h"
#include "editor/addascii.h"
#include "editor/frmasc.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu5.h"
#include "editor/mintotray.h"
#include "editor/mru.h"
#include "editor/pageedit.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "platform/printer.h"
#include "platform/progfolder.h"
#include "platform/userstore.h"
#include "skin/dirlist.h"
#include "skin/frmloadskin.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace CommonKit;
using Prompts::Answer;

using TestHelpers::doubleClickFolder;

namespace {

void send(QWidget* w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A left click in the middle of the widget, as the mouse makes it.
void click(QWidget* w)
{
    ASSERT_NE(w, nullptr);
    const QPoint at = w->rect().center();
    send(w, QEvent::MouseButtonPress, at);
    send(w, QEvent::MouseButtonRelease, at);
}

// A small real file system (tmpfs) where the test runs as root; elsewhere none, and the tests
// make writes fail through the seams instead.
class SmallDisk {
public:
    explicit SmallDisk(const QString& at, int kilobytes) : at_(at)
    {
        QDir().mkpath(at);
        if (::geteuid() == 0)
            mounted_ = run({"mount", "-t", "tmpfs", "-o", "size=" + QString::number(kilobytes) + "k", "tmpfs", at});
    }
    ~SmallDisk()
    {
        if (mounted_)
            run({"umount", "-l", at_});
    }
    bool mounted() const { return mounted_; }
    // Takes every free byte.
    void fill()
    {
        QFile f(at_ + "/filler");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        for (int i = 0; i < 1 << 20 && f.write(block) == block.size() && f.flush(); ++i) {
        }
        f.close();
    }
    void free() { QFile::remove(at_ + "/filler"); }
    bool readOnly(bool on) { return run({"mount", "-o", on ? "remount,ro" : "remount,rw", at_}); }

private:
    static bool run(const QStringList& command)
    {
        QProcess p;
        p.start(command[0], command.mid(1));
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    QString at_;
    bool mounted_ = false;
};

} // namespace

class WorkSafe : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        SetSetting("LOADED", "5");
    }
    void TearDown() override
    {
        SaveFile::SetFailAtFlush(false);
        Printer::install(nullptr);
        MinToTray::StopListening();
        ShopTest::TearDown();
    }

    frmmain& main() { return Forms::get<frmmain>(); }

    // The shop as after start-up, all four pages in use and typed into by the keyboard.
    frmmain& typed(const QStringList& pages)
    {
        frmmain& m = launch();
        m.show();
        Forms::get<frmrect>().show();
        QApplication::processEvents();
        if (!Forms::get<menu2>().allChecked())
            options("&all textboxes");
        for (int n = 1; n <= 4 && n <= pages.size(); ++n) {
            click(m.page(n));
            QTest::keyClicks(m.page(n), pages[n - 1]);
        }
        return m;
    }
    void files(const QString& caption)
    {
        click(main().Label2);
        click(Forms::get<menu1>().item(caption));
    }
    void options(const QString& caption)
    {
        click(main().Label3);
        click(Forms::get<menu2>().item(caption));
    }
    // The macro shop, opened from the Options menu, with text typed into its editor.
    frmdraw& macroShop(const QString& typedText = {})
    {
        options("&macros shop");
        frmdraw& d = Forms::get<frmdraw>();
        EXPECT_TRUE(d.isVisible());
        if (!typedText.isEmpty()) {
            d.Text1->setFocus();
            QTest::keyClicks(d.Text1, typedText);
        }
        return d;
    }
    void macroFiles(int index)
    {
        frmdraw& d = Forms::get<frmdraw>();
        QTest::mousePress(d.Label2, Qt::LeftButton, {}, d.Label2->rect().center());
        QTest::mouseRelease(d.Label2, Qt::LeftButton, {}, d.Label2->rect().center());
        mnu1& m = Forms::get<mnu1>();
        ASSERT_TRUE(m.isVisible());
        click(m.Label1[index]);
    }
    QStringList messageTexts() const
    {
        QStringList out;
        for (const auto& m : prompts.messages)
            out << m.text;
        return out;
    }
    // "&load skin", the folder of skins/<name>, "&Ok".
    void chooseSkin(const QString& name)
    {
        files("&load skin");
        frmloadskin* dialog = Forms::loaded<frmloadskin>();
        ASSERT_TRUE(dialog && dialog->isVisible());
        doubleClickFolder(dialog->Dir1, path("skins"));
        doubleClickFolder(dialog->Dir1, path("skins/" + name));
        click(dialog->Label3);
    }
    // The new instance: every window gone, the program launched again on the same folder.
    frmmain& relaunch()
    {
        Forms::unloadAll();
        QApplication::processEvents();
        return launch();
    }
};

// ---- the skin loader's "No": the new instance starts where this one stopped ----

TEST_F(WorkSafe, LoadSkinAnsweredNoSavesThePagesAndAsksAboutTheMacroFirst)
{
    TestHelpers::copyTree(path("skins/default"), path("skins/other"));
    frmmain& m = typed({"one", "two", "three", "four"});
    m.moveTwips(2400, 1800);
    macroShop("my macro");

    // Cancel to the macro question: no restart, the dialog and the macro stay.
    prompts.answers = {Answer::No, Answer::Cancel};
    chooseSkin("other");
    EXPECT_EQ(process.restarts, 0);
    EXPECT_EQ(process.ends, 0);
    ASSERT_TRUE(messageTexts().filter("save the macro?").size() == 1) << messageTexts().join(" | ").toStdString();
    EXPECT_EQ(Forms::get<frmdraw>().Text1->text(), "my macro");
    EXPECT_FALSE(QFile::exists(path("output/text1.gly")));
    Forms::unload<frmloadskin>();

    // No to the skin, Yes to the macro: it is saved, then the pages, then the restart.
    prompts.answers = {Answer::No, Answer::Yes};
    prompts.fileNames = {path("macros/kept.mcr")};
    chooseSkin("other");
    EXPECT_EQ(process.restarts, 1);
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(readBytes("macros/kept.mcr"), "my macro\r\n");
    EXPECT_EQ(readBytes("output/text2.gly"), "two\r\n");
    EXPECT_EQ(Setting("X"), "2400");
    EXPECT_EQ(Setting("SKIN"), path("skins/other/"));

    frmmain& again = relaunch();
    EXPECT_EQ(again.pageTexts(), (Pages::Four{"one", "two", "three", "four"}));
    EXPECT_TRUE(Forms::get<menu2>().allChecked());
    EXPECT_EQ(again.Left(), 2400);
}

// ---- a quit that cannot save says so and keeps the shop ----

TEST_F(WorkSafe, QuitOnAFullProgramFolderNamesTheFileKeepsTheShopAndASecondTrySaves)
{
    SmallDisk disk(dir.path() + "/small", 4096);
    if (disk.mounted()) {
        TestHelpers::makeProgramFolder(dir.path() + "/small");
        writeSettings();
        SetSetting("LOADED", "5");
    }
    const QString folder = ProgramFolder::path();
    frmmain& m = typed({"art", "", "more", ""});
    if (disk.mounted())
        disk.fill();
    else
        SaveFile::SetFailAtFlush(true);

    files("&close");
    EXPECT_EQ(process.ends, 0) << "the shop stays open";
    ASSERT_FALSE(prompts.messages.isEmpty());
    const QString text = prompts.messages.last().text;
    EXPECT_TRUE(text.contains(folder + "/output/text1.gly")) << text.toStdString();
    EXPECT_TRUE(text.contains("No space left on device")) << text.toStdString();
    EXPECT_EQ(prompts.messages.last().buttons, Prompts::Buttons::YesNoDefaultNo) << "Enter goes back to the shop";
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.Text3->text(), "more");

    if (disk.mounted())
        disk.free();
    else
        SaveFile::SetFailAtFlush(false);
    prompts.messages.clear();
    files("&close");
    EXPECT_EQ(process.ends, 1);
    EXPECT_TRUE(prompts.messages.isEmpty()) << messageTexts().join(" | ").toStdString();
    EXPECT_EQ(readBytes(QDir(dir.path()).relativeFilePath(folder + "/output/text1.gly")), "art\r\n");
    EXPECT_EQ(readBytes(QDir(dir.path()).relativeFilePath(folder + "/output/text3.gly")), "more\r\n");
}

TEST_F(WorkSafe, EnterOnTheQuestionOfAFailedQuitGoesBackToTheShop)
{
    frmmain& m = typed({"art"});
    SaveFile::SetFailAtFlush(true);
    // The real message box, answered with the Enter key as a user in a hurry does.
    Prompts::DialogSource real;
    Prompts::install(&real);
    QString seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !seen.isEmpty())
            return;
        seen = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    poll.start(20);
    files("&close");
    poll.stop();
    Prompts::install(&prompts);
    EXPECT_TRUE(seen.startsWith("Your work could not be saved")) << seen.toStdString();
    EXPECT_EQ(process.ends, 0) << "Enter means: back to the shop";
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.Text1->text(), "art");
}

TEST_F(WorkSafe, TheWindowManagersCloseAsksAndSavesAsTheCloseButtonDoes)
{
    frmmain& m = typed({"art"});
    // Alt+F4 on the main window, answered No: the shop stays, with its windows.
    m.close();
    ASSERT_TRUE(TestHelpers::eventually([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_EQ(prompts.messages.last().text, "Are you sure you want to quit without saving your ascii...?");
    QApplication::processEvents();
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(process.ends, 0);

    // The same on the indicator, answered Yes: the pages are saved and the shop ends.
    prompts.answers = {Answer::Yes};
    Forms::get<frmrect>().close();
    ASSERT_TRUE(TestHelpers::eventually([&] { return process.ends == 1; }));
    EXPECT_EQ(readBytes("output/text1.gly"), "art\r\n");
}

TEST_F(WorkSafe, QuitAnywayEndsWithoutTheFilesAndAReadOnlyFolderIsNamedAtStart)
{
    SmallDisk disk(dir.path() + "/ro", 4096);
    if (!disk.mounted())
        GTEST_SKIP() << "a read-only file system needs root to mount";
    TestHelpers::makeProgramFolder(dir.path() + "/ro");
    writeSettings();
    SetSetting("LOADED", "5");
    ASSERT_TRUE(disk.readOnly(true));
    frmmain& m = launch();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The program folder " + dir.path() + "/ro cannot be written"))
        << prompts.messages[0].text.toStdString();
    m.Text1->setText("lost");
    prompts.answers = {Answer::Yes};
    files("&close");
    EXPECT_EQ(process.ends, 1) << "quit anyway";
    EXPECT_TRUE(prompts.messages.last().text.contains(dir.path() + "/ro/quorl.ini"));
    ASSERT_TRUE(disk.readOnly(false));
}

// ---- the string file is never rewritten from part of it ----

TEST_F(WorkSafe, AddingAStringToAFileOverTheReadLimitAppendsItsLine)
{
    launch();
    // 27 MB of strings, the last line without its line break.
    QByteArray big;
    const QByteArray line = "an old string of the user's, one of very many\r\n";
    while (big.size() < 27 * 1024 * 1024)
        big += line;
    big += "last";
    writeBytes("ascii/asc.asc", big);

    options("&other options");
    click(Forms::get<menu5>().item("&add ascii string"));
    addascii& dialog = Forms::get<addascii>();
    QTest::keyClicks(dialog.Text1, "new one");
    click(dialog.Label3);
    const QByteArray after = readBytes("ascii/asc.asc");
    EXPECT_EQ(after.size(), big.size() + 11);
    EXPECT_TRUE(after.startsWith(big));
    EXPECT_TRUE(after.endsWith("last\r\nnew one\r\n"));
    EXPECT_TRUE(main().List1->strings().contains("new one"));

    // A string file that is a pipe cannot be read: the string is refused with a message.
    QFile::remove(path("ascii/asc.asc"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("ascii/asc.asc")).constData(), 0600), 0);
    prompts.messages.clear();
    options("&other options");
    click(Forms::get<menu5>().item("&add ascii string"));
    addascii& second = Forms::get<addascii>();
    QTest::keyClicks(second.Text1, "refused");
    click(second.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The string was not added")) << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(main().List1->strings().contains("refused"));
}

// ---- the per-user store: every write checked ----

TEST_F(WorkSafe, AFullConfigFolderIsToldForStoredStringsAndRecentFiles)
{
    const QString config = dir.path() + "/config";
    SmallDisk disk(config, 64);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    struct Back {
        ~Back()
        {
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
        }
    } back;
    launch().show();
    if (disk.mounted()) {
        disk.fill();
    } else {
        if (::geteuid() == 0)
            GTEST_SKIP() << "no small file system and root writes anywhere";
        QDir().mkpath(config + "/GLY");
        QFile(config + "/GLY").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    macroShop();
    prompts.inputs = {"my string"};
    QTest::mousePress(Forms::get<frmdraw>().Label3, Qt::LeftButton);
    QTest::mouseRelease(Forms::get<frmdraw>().Label3, Qt::LeftButton);
    click(Forms::get<mnu2>().Label1[0]);
    ASSERT_EQ(prompts.messages.size(), 1) << messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The stored strings could not be stored in " + config + "/GLY/GLY.ini"))
        << prompts.messages[0].text.toStdString();

    writeBytes("art.gly", "a\r\n");
    prompts.fileNames = {path("art.gly")};
    files("&open ascii");
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].text.startsWith("The recent files could not be stored"));
    EXPECT_EQ(main().Text1->text(), "a") << "the file still opens";
}

// ---- a second launch hands its file to the running shop ----

TEST_F(WorkSafe, ASecondLaunchWhileTheShopIsShownHandsItsFilesOverAndStartsNothing)
{
    // As the program starts: no shop answers, so this one listens.
    ASSERT_FALSE(MinToTray::HandOverOrListen({}));
    frmmain& m = launch();
    m.show();
    const QString loaded = Setting("LOADED");
    writeBytes("art.gly", "first\r\nsecond\r\n");
    writeBytes("tune.mcr", "la la\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORL_HOME", ProgramFolder::path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* file : {"art.gly", "tune.mcr"}) {
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(QUORL_PROGRAM_PATH), {path(file)});
        ASSERT_TRUE(second.waitForStarted());
        ASSERT_TRUE(TestHelpers::eventually([&] { return second.state() == QProcess::NotRunning; }));
        EXPECT_EQ(second.exitCode(), 0);
    }
    ASSERT_TRUE(TestHelpers::eventually([&] { return Forms::loaded<frmdraw>() != nullptr; }));
    EXPECT_EQ(m.Text1->text(), "first");
    EXPECT_EQ(m.Text2->text(), "second");
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(Setting("LOADED"), loaded) << "no second start was counted";
    EXPECT_EQ(Forms::get<frmdraw>().Text1->text(), "la la\r\n");
}

namespace {
// A second launch of the real program on the running shop's folder, with its file named by raw
// bytes (which need not be UTF-8); true when it ended well.
bool secondLaunch(const QByteArray& file)
{
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORL_HOME", ProgramFolder::path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    // Through the shell, each byte written in octal, so the name reaches the program as the very bytes.
    QString octal;
    for (const char c : file)
        octal += QString::asprintf("\\0%03o", unsigned(uchar(c)));
    second.start("/bin/sh", {"-c", "exec \"$0\" \"$(printf '%b' \"$1\")\"", QStringLiteral(QUORL_PROGRAM_PATH), octal});
    return second.waitForStarted() &&
           TestHelpers::eventually([&] { return second.state() == QProcess::NotRunning; }) && second.exitCode() == 0;
}
}

TEST_F(WorkSafe, AHandedFileThatOpensABoxNeitherCrashesNorStacksQuestions)
{
    ASSERT_FALSE(MinToTray::HandOverOrListen({}));
    frmmain& m = typed({"mine"});
    frmdraw& d = macroShop("unsaved art");
    writeBytes("one.mcr", "one\r\n");
    writeBytes("two.mcr", "two\r\n");
    // While a question is open its event loop runs: the launch's socket goes away meanwhile, and
    // a further launch arrives; that one waits until the question is answered.
    int asked = 0;
    bool stacked = false;
    prompts.whileAsking = [&] {
        if (++asked == 1) {
            EXPECT_TRUE(secondLaunch(QFile::encodeName(path("two.mcr"))));
            for (int i = 0; i < 20; ++i) {
                QApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            stacked = asked > 1;
        }
    };
    prompts.answers = {Answer::Cancel, Answer::No};
    ASSERT_TRUE(secondLaunch(QFile::encodeName(path("one.mcr"))));
    ASSERT_TRUE(TestHelpers::eventually([&] { return asked >= 2; }));
    EXPECT_FALSE(stacked) << "the second question came only after the first was answered";
    ASSERT_TRUE(TestHelpers::eventually([&] { return d.Text1->text() == "two\r\n"; }));
    EXPECT_EQ(m.Text1->text(), "mine");
}

TEST_F(WorkSafe, AHandedPagesFileCanBeUndoneAndReachesAMinimizedShop)
{
    ASSERT_FALSE(MinToTray::HandOverOrListen({}));
    frmmain& m = typed({"one", "two", "three", "four"});
    // A file name that is no UTF-8: the running shop gets its very bytes.
    const QByteArray name = QFile::encodeName(dir.path()) + "/\xff" "art.gly";
    QFile f(QFile::decodeName(name));
    {
        QFile raw;
        ASSERT_TRUE(raw.open(fopen(name.constData(), "wb"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        raw.write("handed\r\nover\r\n");
    }
    m.showMinimized();
    ASSERT_TRUE(secondLaunch(name));
    ASSERT_TRUE(TestHelpers::eventually([&] { return m.Text1->text() == "handed"; }));
    EXPECT_EQ(m.Text2->text(), "over");
    EXPECT_FALSE(m.isMinimized()) << "the shop comes back to show the file";

    QTest::keyClick(m.Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m.pageTexts(), (Pages::Four{"one", "two", "three", "four"})) << "one undo brings the typed pages back";
}

TEST_F(WorkSafe, ListeningNeverTakesTheNameOfAShopThatStillListens)
{
    // Another shop of this folder listens already (here: the test's own listener).
    MinToTray::StopListening();
    QLocalServer other;
    QLocalServer::removeServer(MinToTray::ServerName());
    ASSERT_TRUE(other.listen(MinToTray::ServerName()));
    MinToTray::Listen();
    QLocalSocket probe;
    probe.connectToServer(MinToTray::ServerName());
    ASSERT_TRUE(probe.waitForConnected(1000)) << "the running shop's socket is still there";
    ASSERT_TRUE(TestHelpers::eventually([&] { return other.hasPendingConnections(); }));
    other.close();

    // A socket file left by a killed shop is taken over.
    const QByteArray name = QFile::encodeName(MinToTray::ServerName());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(name.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(MinToTray::ServerName())) << "the stale socket file stays";
    MinToTray::Listen();
    QLocalSocket again;
    again.connectToServer(MinToTray::ServerName());
    EXPECT_TRUE(again.waitForConnected(1000));
    MinToTray::StopListening();
}

// ---- a page pick, undone ----

TEST_F(WorkSafe, OneUndoAfterAPagePickBringsTheFourPagesBack)
{
    frmmain& m = typed({"one", "two", "three", "four"});
    // Page 3 out of use keeps the pages; picking it again empties all four, as designed.
    options("&text3");
    ASSERT_EQ(m.Text3->text(), "three");
    options("&text3");
    EXPECT_EQ(m.pageTexts(), Pages::Four{});
    // The keys go to the page picked, with no click first.
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), m.Text3)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none") << " "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m.pageTexts(), (Pages::Four{"one", "two", "three", "four"}));

    // Typed after the pick: the page's own undo first, then the pages of before the pick, once.
    options("&text1");
    options("&text1");
    ASSERT_EQ(m.pageTexts(), Pages::Four{});
    click(m.Text1);
    QTest::keyClicks(m.Text1, "x");
    QTest::keyClick(m.Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m.pageTexts(), Pages::Four{});
    // The Edit menu's "undo" does what Ctrl+Z does.
    click(m.Label5);
    click(Forms::get<menu3>().item("&undo"));
    EXPECT_EQ(m.pageTexts(), (Pages::Four{"one", "two", "three", "four"}));
    QTest::keyClick(m.Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m.Text1->text(), "one") << "nothing older comes back";

    // Pages opened from a file after a pick are not replaced by an undo.
    options("&text2");
    options("&text2");
    ASSERT_EQ(m.pageTexts(), Pages::Four{});
    writeBytes("art.gly", "a\r\nb\r\n");
    prompts.fileNames = {path("art.gly")};
    files("&open ascii");
    QTest::keyClick(m.Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m.Text1->text(), "a");
}

// ---- the macro shop asks before a macro is thrown away ----

TEST_F(WorkSafe, ClosingTheMacroShopWithAnUnsavedMacroAsksAndCancelKeepsIt)
{
    typed({});
    frmdraw& d = macroShop("never saved");
    prompts.answers = {Answer::Cancel};
    click(d.Label7);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("save the macro?"));
    EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNoCancel);
    ASSERT_NE(Forms::loaded<frmdraw>(), nullptr);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Text1->text(), "never saved");

    // "&exit", Yes: saved under the name chosen, then closed.
    prompts.answers = {Answer::Yes};
    prompts.fileNames = {path("macros/saved.mcr")};
    macroFiles(7);
    EXPECT_EQ(readBytes("macros/saved.mcr"), "never saved\r\n");
    EXPECT_EQ(Forms::loaded<frmdraw>(), nullptr);

    // Opened, changed, and the shop quit: asked, Cancel keeps the shop running.
    frmdraw& again = macroShop();
    prompts.fileNames = {path("macros/saved.mcr")};
    macroFiles(0);
    prompts.messages.clear();
    click(again.Label7);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "an unchanged macro closes without a question";
    frmdraw& third = macroShop();
    prompts.fileNames = {path("macros/saved.mcr")};
    macroFiles(0);
    third.Text1->setFocus();
    QTest::keyClicks(third.Text1, "!");
    prompts.answers = {Answer::Cancel};
    files("&close");
    EXPECT_EQ(process.ends, 0);
    EXPECT_TRUE(prompts.messages.last().text.contains(path("macros/saved.mcr")));
    prompts.answers = {Answer::No};
    files("&close");
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(readBytes("macros/saved.mcr"), "never saved\r\n");
}

TEST_F(WorkSafe, NewOpenRecentAndBuiltInMacrosAskBeforeReplacingAnUnsavedMacro)
{
    typed({});
    writeBytes("macros/beavis.mcr", "built in\r\n");
    writeBytes("other.mcr", "other\r\n");
    frmdraw& d = macroShop("typed art");
    const auto builtin = [&] {
        QTest::mousePress(d.Label3, Qt::LeftButton);
        QTest::mouseRelease(d.Label3, Qt::LeftButton);
        click(Forms::get<mnu2>().Label1[7]);
        click(Forms::get<mnu18>().Label1[0]);
    };
    for (const char* how : {"new", "open", "built-in"}) {
        prompts.messages.clear();
        prompts.answers = {Answer::Cancel};
        prompts.fileNames = {path("other.mcr")};
        if (QByteArray(how) == "new")
            macroFiles(9);
        else if (QByteArray(how) == "open")
            macroFiles(0);
        else
            builtin();
        ASSERT_EQ(prompts.messages.size(), 1) << how;
        EXPECT_TRUE(prompts.messages[0].text.startsWith("save the macro?")) << how;
        EXPECT_EQ(d.Text1->text(), "typed art") << how << ": Cancel keeps the macro";
    }
    prompts.answers = {Answer::No};
    prompts.fileNames = {path("other.mcr")};
    macroFiles(0);
    EXPECT_EQ(d.Text1->text(), "other\r\n");
}

TEST_F(WorkSafe, SavingABuiltInMacroOverTheUsersFileAsksFirst)
{
    typed({});
    writeBytes("macros/beavis.mcr", "built in\r\n");
    writeBytes("mine.mcr", "my own art\r\n");
    frmdraw& d = macroShop();
    prompts.fileNames = {path("mine.mcr")};
    macroFiles(0);
    QTest::mousePress(d.Label3, Qt::LeftButton);
    QTest::mouseRelease(d.Label3, Qt::LeftButton);
    click(Forms::get<mnu2>().Label1[7]);
    click(Forms::get<mnu18>().Label1[0]);
    ASSERT_TRUE(d.Text1->text().startsWith("built in"));

    prompts.messages.clear();
    prompts.answers = {Answer::Cancel};
    macroFiles(1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains("Replace " + path("mine.mcr")));
    EXPECT_EQ(readBytes("mine.mcr"), "my own art\r\n");

    prompts.answers = {Answer::No};
    prompts.fileNames = {path("copy.mcr")};
    macroFiles(1);
    EXPECT_EQ(readBytes("mine.mcr"), "my own art\r\n");
    EXPECT_TRUE(readBytes("copy.mcr").startsWith("built in"));
    EXPECT_EQ(d.Text1->Tag, path("copy.mcr"));
}

TEST_F(WorkSafe, AMacroFromTheCommandLineIsTheCurrentFile)
{
    writeBytes("tune.mcr", "la la\r\n");
    launch(path("tune.mcr"));
    frmdraw& d = Forms::get<frmdraw>();
    ASSERT_TRUE(d.isVisible());
    ASSERT_NE(Forms::loaded<frmasc>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmasc>()->isVisible()) << "the docked map shows";
    EXPECT_EQ(UserStore::GetSetting("GLY", "MRU", "File1"), path("tune.mcr"));
    d.Text1->moveCursor(QTextCursor::End);
    d.Text1->setFocus();
    QTest::keyClicks(d.Text1, "la");
    macroFiles(1);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(readBytes("tune.mcr"), "la la\r\nla\r\n") << "saved back in place, no name asked";
}

// ---- a print to a full or read-only folder ----

TEST_F(WorkSafe, APrintToAFullFolderNamesTheCopyThatCouldNotBeWrittenAndListsNoBrokenPdf)
{
    const QString folder = dir.path() + "/prints";
    SmallDisk disk(folder, 256);
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    Printer::SystemPrinter pdf(folder, true);
    Printer::install(&pdf);
    // Print leaves the Files menu open; a press on its caption would close it.
    const auto print = [&] {
        if (auto* open = Forms::loaded<mnu1>(); open && open->isVisible())
            click(open->Label1[8]);
        else
            macroFiles(8);
    };
    Forms::get<frmdraw>().show();
    Forms::get<frmdraw>().Text1->setText("/\\_/\\\r\n( o.o )");
    disk.fill();
    prompts.inputs = {"2", "12"};
    print();
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString text = prompts.messages[0].text;
    EXPECT_TRUE(text.startsWith("Copy 1 could not be printed:\nThe PDF file " + folder + "/macro print 1.pdf could "
                                "not be written whole: the disk holding " + folder + " is full."))
        << text.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "/macro print 1.pdf")) << "no empty file is left as a copy";

    // Room for about one copy: whatever was listed as written is a whole PDF, the cut one is named.
    disk.free();
    prompts.messages.clear();
    prompts.inputs = {"1", "12"};
    print();
    ASSERT_EQ(prompts.messages.size(), 1);
    ASSERT_TRUE(Printer::WholePdf(folder + "/macro print 1.pdf")) << prompts.messages[0].text.toStdString();
    const qint64 one = QFileInfo(folder + "/macro print 1.pdf").size();
    QFile::remove(folder + "/macro print 1.pdf");
    disk.fill();
    QFile filler(folder + "/filler");
    ASSERT_TRUE(filler.resize(std::max<qint64>(0, filler.size() - one - one / 2)));
    prompts.messages.clear();
    prompts.inputs = {"3", "12"};
    print();
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString cut = prompts.messages[0].text;
    EXPECT_TRUE(cut.startsWith("Copy 2 could not be printed:\nThe PDF file " + folder +
                               "/macro print 2.pdf could not be written whole"))
        << cut.toStdString();
    EXPECT_TRUE(cut.contains(" is full.")) << cut.toStdString();
    for (const QString& f : QDir(folder).entryList({"*.pdf"}, QDir::Files)) {
        EXPECT_TRUE(Printer::WholePdf(folder + "/" + f)) << f.toStdString();
        EXPECT_TRUE(cut.contains(folder + "/" + f)) << "a written copy is told: " << f.toStdString();
    }
    disk.free();

    // A folder that cannot be written is no printer.
    ASSERT_TRUE(disk.readOnly(true));
    prompts.messages.clear();
    prompts.inputs = {"1", "12"};
    print();
    disk.readOnly(false);
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString readOnly = prompts.messages[0].text;
    EXPECT_TRUE(readOnly.startsWith("Copy 1 could not be printed:\nThe PDF file " + folder + "/macro print "))
        << readOnly.toStdString();
    EXPECT_TRUE(readOnly.endsWith(".pdf could not be written: the folder " + folder + " cannot be written to."))
        << readOnly.toStdString();
    Printer::install(nullptr);
}
