#include "support/helpers.h"
#include "support/shoptest.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "app/frmwelcome.h"
#include "app/handle.h"
#include "core/lenientnumber.h"
#include "core/savefile.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/mintotray.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "platform/filename.h"
#include "platform/progfolder.h"
#include "platform/twips.h"
#include "shell/links.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocalServer>
#include <QMouseEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTimer>

#include <cfloat>
#include <climits>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace CommonKit;

namespace {

// A press and a release of the left button in the middle of the widget, as the user clicks.
void click(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

void pasteInto(QLineEdit* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(box, &key);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

// The shop launched as the program does, the staged start-up run at once.
class Faults : public ShopTest {
protected:
    void TearDown() override
    {
        SaveFile::SetFailAtFlush(false);
        ShopTest::TearDown();
    }
};

// ---- numbers kept as text -------------------------------------------------------------------

TEST(LenientNumber, TakesTheLongestNumericPrefixAndStaysFinite)
{
    EXPECT_EQ(LenientNumber("7x"), 7);
    EXPECT_EQ(LenientNumber("2.5"), 2.5);
    EXPECT_EQ(LenientNumber(" 1 2\t3\n4"), 1234);
    EXPECT_EQ(LenientNumber("3d31"), 3e31);
    EXPECT_EQ(LenientNumber("&H7FFFFFFFFFFF"), 140737488355327.0);
    EXPECT_EQ(LenientNumber("&o777x"), 511);
    EXPECT_EQ(LenientNumber("-.5e1"), -5);
    EXPECT_EQ(LenientNumber("1e999"), DBL_MAX);
    EXPECT_EQ(LenientNumber("-1e999"), -DBL_MAX);
    EXPECT_GT(LenientNumber("&H" + QString(400, 'F')), 1e300);
    EXPECT_LE(LenientNumber("&H" + QString(400, 'F')), DBL_MAX);
    for (const char* nothing : {"", "nan", "inf", "-", ".", "e5", "&H", "&Hz", "x7"})
        EXPECT_EQ(LenientNumber(nothing), 0) << nothing;
}

TEST(LenientNumber, WholeNumbersRoundTiesToEvenAndAreHeldInRange)
{
    EXPECT_EQ(LenientWhole("2.5", INT_MIN, INT_MAX), 2);
    EXPECT_EQ(LenientWhole("3.5", INT_MIN, INT_MAX), 4);
    EXPECT_EQ(LenientWhole("-2.5", INT_MIN, INT_MAX), -2);
    EXPECT_EQ(LenientWhole("2.51", INT_MIN, INT_MAX), 3);
    EXPECT_EQ(LenientWhole("1e30", 0, 100), 100);
    EXPECT_EQ(LenientWhole("-1e30", 0, 100), 0);
    EXPECT_EQ(LenientWhole("1e999", LLONG_MIN, LLONG_MAX), LLONG_MAX);
    EXPECT_EQ(LenientWhole("-1e999", LLONG_MIN, LLONG_MAX), LLONG_MIN);
    EXPECT_EQ(NumberText(8), "8");
    EXPECT_EQ(NumberText(3.5), "3.5");
    EXPECT_EQ(NumberText(2147483648.0), "2147483648");
}

TEST(LenientNumber, SkinColoursBeyondThirtyTwoBitsAreHeldNotWrapped)
{
    EXPECT_EQ(SkinFolder::ColourFromValue("3d31"), QColor(255, 255, 255));
    EXPECT_EQ(SkinFolder::ColourFromValue("&H7FFFFFFFFFFF"), QColor(255, 255, 255));
    EXPECT_EQ(SkinFolder::ColourFromValue("-1e30"), QColor(0, 0, 0));
    EXPECT_EQ(SkinFolder::ColourFromValue("&H0000FF"), QColor(255, 0, 0));
    EXPECT_EQ(SkinFolder::ColourFromValue("65280.5"), QColor(0, 255, 0)); // tie to even: 65280
    // The old name still reads the same way.
    EXPECT_EQ(SkinFolder::LenientNumber("3d31"), 3e31);
}

TEST_F(Faults, StartCounterCountsOnFromTheNumberAtTheStartOfItsText)
{
    const QList<std::pair<QString, QString>> cases = {
        {"7x", "8"}, {"2.5", "3.5"}, {"2147483647", "2147483648"}, {"nonsense", "1"}, {"1e999", NumberText(DBL_MAX)}};
    for (const auto& [stored, counted] : cases) {
        writeSettings();
        SetSetting("LOADED", stored);
        frmmain& main = launch();
        EXPECT_EQ(Forms::get<frmrect>().Label5->caption(), counted) << stored.toStdString();
        EXPECT_EQ(Setting("LOADED"), counted) << stored.toStdString();
        // Past two starts, the main window taking the focus greets no more.
        QFocusEvent focus(QEvent::FocusIn);
        QApplication::sendEvent(&main, &focus);
        EXPECT_EQ(Forms::loaded<frmwelcome>() != nullptr, LenientNumber(counted) < 2) << stored.toStdString();
        Forms::unloadAll();
        QFile::remove(SettingsPath());
        // The panel counts once per run and program folder: the next case starts in a new one.
        TestHelpers::makeProgramFolder(dir.path() + "/again" + stored);
    }
}

TEST_F(Faults, WelcomeReadsTheCounterLeniently)
{
    writeSettings();
    SetSetting("LOADED", "1x");
    Startup::WelcomeCheck();
    EXPECT_NE(Forms::loaded<frmwelcome>(), nullptr);
    Forms::unload<frmwelcome>();
    SetSetting("LOADED", "2147483648");
    Startup::WelcomeCheck();
    EXPECT_EQ(Forms::loaded<frmwelcome>(), nullptr);
}

TEST_F(Faults, AStoredPlaceThatIsNoNumberOrFarAwayKeepsTheWindowsOnTheScreen)
{
    for (const auto& [x, y] : QList<std::pair<QString, QString>>{
             {"nan", "nan"}, {"1e30", "-1e30"}, {"2147483647", "2147483647"}, {"-99999", "inf"}}) {
        writeSettings();
        SetSetting("X", x);
        SetSetting("Y", y);
        frmmain& main = launch();
        const frmrect& rect = Forms::get<frmrect>();
        EXPECT_GE(main.Left(), 0) << x.toStdString();
        EXPECT_GE(main.Top(), 0) << y.toStdString();
        EXPECT_LE(main.Left() + main.Width(), Twips::screenWidth()) << x.toStdString();
        EXPECT_LE(rect.Top() + rect.Height(), Twips::screenHeight()) << y.toStdString();
        Forms::unloadAll();
    }
}

// ---- full disk ------------------------------------------------------------------------------

// A small file system that fills up: a tmpfs mounted for the test when it may mount one, else
// the save routine's seam that fails every write at flush time as a full disk does.
class FullDisk : public Faults {
protected:
    void SetUp() override
    {
        Faults::SetUp();
        mountPoint_ = dir.path() + "/small";
        QDir().mkpath(mountPoint_);
        const QByteArray target = QFile::encodeName(mountPoint_);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=4m") == 0;
        if (mounted_) {
            TestHelpers::makeProgramFolder(mountPoint_ + "/shop");
        }
    }
    void TearDown() override
    {
        Faults::TearDown();
        if (mounted_)
            ::umount2(QFile::encodeName(mountPoint_).constData(), MNT_DETACH);
    }
    // Takes the last free byte of the small file system (or turns the seam on).
    void fill()
    {
        if (!mounted_) {
            SaveFile::SetFailAtFlush(true);
            return;
        }
        QFile filler(mountPoint_ + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        QFile probe(mountPoint_ + "/probe");
        ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
        probe.write("x");
        ASSERT_FALSE(probe.flush()) << "the small file system is not full";
        probe.close();
        probe.remove();
    }
    QString shopFile(const QString& relative) const { return ProgramFolder::file(relative); }

    QString mountPoint_;
    bool mounted_ = false;
};

TEST_F(FullDisk, SettingsWriteFailsAndLeavesTheFileWhole)
{
    writeSettings();
    const QByteArray before = fileBytes(SettingsPath());
    ASSERT_GT(before.size(), 100);
    fill();
    EXPECT_FALSE(WriteIni("quorl", "LOADED", "12345", SettingsPath()));
    QString error;
    EXPECT_FALSE(SaveString("page", shopFile("output/text1.gly"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(SettingsPath()), before);
    EXPECT_FALSE(QFile::exists(shopFile("output/text1.gly")));
    // Nothing of the attempts is left beside the files.
    EXPECT_EQ(QDir(shopFile("output")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(FullDisk, ALaunchAndAQuitLeaveSettingsAndPagesByteIdentical)
{
    writeSettings();
    SetSetting("X", "1500");
    SetSetting("Y", "1200");
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(SaveString("page " + QString::number(n), Pages::PageFilePath(n)));
    QList<QByteArray> before;
    for (int n = 0; n <= 4; ++n)
        before << fileBytes(n == 0 ? SettingsPath() : Pages::PageFilePath(n));
    fill();

    frmmain& main = launch();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.Text2->text(), "page 2");
    click(main.Label2); // "&Files"
    menu1& files = Forms::get<menu1>();
    ASSERT_NE(files.item("&close"), nullptr);
    // The quit names what it could not save; the user quits anyway.
    prompts.answers = {Prompts::Answer::Yes};
    click(files.item("&close"));
    EXPECT_EQ(process.ends, 1);
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.last().text.contains(Pages::PageFilePath(1)));
    for (int n = 0; n <= 4; ++n)
        EXPECT_EQ(fileBytes(n == 0 ? SettingsPath() : Pages::PageFilePath(n)), before[n]) << n;
}

TEST_F(FullDisk, SaveAsciiSaysItFailedAndKeepsTheOldFile)
{
    writeSettings();
    const QString target = shopFile("output/mine.txt");
    ASSERT_TRUE(SaveString("old art", target));
    frmmain& main = launch();
    main.setPageTexts({"new", "art", "", ""});
    fill();
    prompts.fileNames = {target};
    click(main.Label2);
    click(Forms::get<menu1>().item("&save ascii"));
    EXPECT_EQ(fileBytes(target), QByteArray("old art\r\n"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(target));
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Could not save"));
}

// ---- the settings file as it may be found -----------------------------------------------------

TEST_F(Faults, ALineBreakInAnAnswerWritesNoSettingOfItsOwn)
{
    ResetSettings();
    const QString skin = Setting("SKIN");
    EXPECT_TRUE(WriteIni("quorl", "HANDLE", "eve\r\nSKIN=/elsewhere/", SettingsPath()));
    EXPECT_EQ(Setting("HANDLE"), "eve");
    EXPECT_EQ(Setting("SKIN"), skin);
    EXPECT_FALSE(readBytes("quorl.ini").contains("elsewhere"));

    // The first-run handle dialog takes a pasted answer up to its line break.
    QFile::remove(SettingsPath());
    Startup::Launch();
    handle& dialog = *Forms::loaded<handle>();
    dialog.Text1->selectAll();
    pasteInto(dialog.Text1, "eve\r\nSKIN=/elsewhere/\nLOADED=99");
    EXPECT_EQ(dialog.Text1->text(), "eve");
    click(dialog.Label3); // "&Ok"
    EXPECT_EQ(Setting("HANDLE"), "eve");
    EXPECT_EQ(Setting("LOADED"), "0");
    EXPECT_FALSE(readBytes("quorl.ini").contains("elsewhere"));
}

TEST_F(Faults, APasteKeepsWhatStoodBehindTheCaret)
{
    ResetSettings();
    Startup::Launch();
    QLineEdit* box = Forms::loaded<handle>()->Text1;
    box->setText("abcd");
    box->setCursorPosition(2);
    pasteInto(box, "XY\nZ");
    EXPECT_EQ(box->text(), "abXYcd");
    EXPECT_EQ(box->cursorPosition(), 4);
}

TEST_F(Faults, ASettingsFileWithAByteOrderMarkReadsAndKeepsOneSection)
{
    writeBytes("quorl.ini", "\xEF\xBB\xBF[quorl]\r\nHANDLE=eve\r\nLOADED=5\r\nX=1500\r\nY=1200\r\n");
    EXPECT_EQ(Setting("HANDLE"), "eve");
    SetSetting("LOADED", "6");
    EXPECT_EQ(readBytes("quorl.ini"), QByteArray("[quorl]\r\nHANDLE=eve\r\nLOADED=6\r\nX=1500\r\nY=1200\r\n"));

    // Marked twice: the section is the same before and after a write.
    writeBytes("quorl.ini", "\xEF\xBB\xBF\xEF\xBB\xBF[quorl]\r\nHANDLE=eve\r\n");
    EXPECT_EQ(Setting("HANDLE"), "eve");
    SetSetting("LOADED", "7");
    EXPECT_EQ(Setting("HANDLE"), "eve");
    EXPECT_EQ(Setting("LOADED"), "7");
    EXPECT_EQ(readBytes("quorl.ini"), QByteArray("[quorl]\r\nHANDLE=eve\r\nLOADED=7\r\n"));
}

TEST_F(Faults, AnEmptySkinCountsAsNone)
{
    writeSettings();
    SetSetting("SKIN", "");
    EXPECT_EQ(SkinFolder::ResolveSkinFolder(), SkinFolder::DefaultFolder());
    EXPECT_EQ(Setting("SKIN"), SkinFolder::DefaultFolder());
}

// ---- files that are no files, or huge ----------------------------------------------------------

TEST_F(Faults, PipesAndDevicesAreNotReadAndStartUpGoesOn)
{
    const QString fifo = path("art.gly");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(ReadFileText(fifo), "");
    EXPECT_EQ(ReadFileText("/dev/zero"), "");
    EXPECT_EQ(ReadFileText(dir.path()), "");
    ReadProblem problem = ReadProblem::None;
    EXPECT_TRUE(ReadFileBytes("/dev/zero", 10, &problem).isEmpty());
    EXPECT_EQ(problem, ReadProblem::NotAFile);

    writeSettings();
    for (const QString& arg : {fifo, QString("/dev/zero")}) {
        SaveString("kept", Pages::PageFilePath(1));
        frmmain& main = launch(arg);
        EXPECT_TRUE(main.isVisible());
        EXPECT_EQ(main.Text1->text(), "kept");
        EXPECT_TRUE(prompts.messages.isEmpty());
        Forms::unloadAll();
    }
}

TEST_F(Faults, OpeningAPipeIsRefusedWithAMessageAndThePagesStay)
{
    writeSettings();
    const QString fifo = path("pipe.gly");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    frmmain& main = launch();
    main.setPageTexts({"a", "b", "c", "d"});
    prompts.fileNames = {fifo};
    click(main.Label2);
    click(Forms::get<menu1>().item("&open ascii"));
    EXPECT_EQ(main.pageTexts(), (Pages::Four{"a", "b", "c", "d"}));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(fifo));
}

TEST_F(Faults, AHugeFileFillsThePagesWithWhatFitsAndSaysSo)
{
    writeSettings();
    const QString huge = path("huge.gly");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200000, 'x') + "\r\nb\r\nc\r\nd\r\n");
        f.write(QByteArray(300000, 'y'));
        // The rest is a hole: 100 MB on the disk's say-so, next to nothing written.
        ASSERT_TRUE(f.resize(100 * 1024 * 1024));
    }
    frmmain& main = launch();
    prompts.fileNames = {huge};
    click(main.Label2);
    click(Forms::get<menu1>().item("&open ascii"));
    EXPECT_EQ(main.Text1->text(), QString(Pages::kPageLimit, 'x'));
    EXPECT_EQ(main.Text2->text(), "b");
    EXPECT_EQ(main.Text3->text(), "c");
    EXPECT_EQ(main.Text4->text(), "d");
    EXPECT_LE(main.Text5.size(), Pages::kPageLimit + 2);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains("cut"));

    // A page typed or pasted past the bound is cut there too.
    main.Text2->setText(QString(Pages::kPageLimit + 10, 'z'));
    EXPECT_EQ(main.Text2->text().size(), Pages::kPageLimit);
}

TEST(BoundedAscii, KeepsTheReadingRuleOfOrdinaryFiles)
{
    for (const QByteArray& content : {QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n"), QByteArray("a\rb"),
                                      QByteArray("one"), QByteArray("a\r\r\rb\r\n"), QByteArray()}) {
        QByteArray copy = content;
        QBuffer in(&copy);
        in.open(QIODevice::ReadOnly);
        bool cut = true;
        const QByteArray bounded = Pages::BoundedAsciiBytes(in, &cut);
        EXPECT_FALSE(cut);
        QString a, b;
        EXPECT_EQ(Pages::ReadAsciiFile(QString::fromLatin1(bounded), a),
                  Pages::ReadAsciiFile(QString::fromLatin1(content), b))
            << content.toStdString();
        EXPECT_EQ(a, b) << content.toStdString();
    }
}

// ---- names and places --------------------------------------------------------------------------

TEST_F(Faults, ACommandLinePathThatIsNotUtf8FindsItsFile)
{
    const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9 art.gly";
    {
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "one\r\ntwo\r\n", 10), 10);
        ::close(fd);
    }
    // Qt cannot name this file to remove it with the folder: the test does.
    const auto unlink = qScopeGuard([&] { ::unlink(raw.constData()); });
    const QString name = FileName::decode(raw);
    EXPECT_EQ(FileName::encode(name), raw);
    EXPECT_EQ(FileName::decode("caf\xc3\xa9"), QString::fromUtf8("café"));
    EXPECT_EQ(FileName::encode(QString::fromUtf8("café 😀")), QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80"));
    writeSettings();
    frmmain& main = launch(name);
    EXPECT_EQ(main.Text1->text(), "one");
    EXPECT_EQ(main.Text2->text(), "two");
}

TEST_F(Faults, TheAutostartEntryOfAStrangePathValidates)
{
    const QString data = dir.path() + "/50% off\\ \"quoted\" $HOME `x`";
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    Links::WriteStartupLink();
    qputenv("XDG_DATA_HOME", old);
    const QByteArray entry = fileBytes(Links::AutostartEntry());
    EXPECT_TRUE(entry.contains("50%% off")) << entry.toStdString();
    QProcess validate;
    validate.start("desktop-file-validate", {Links::AutostartEntry()});
    ASSERT_TRUE(validate.waitForFinished(20000));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString() << entry.toStdString();
    Links::DeleteStartupLink();
}

TEST_F(Faults, TheHiddenShopListensInThePrivateRuntimeFolderAndWakesOnlyItsOwnUser)
{
    writeSettings();
    launch();
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    ASSERT_FALSE(runtime.isEmpty());
    EXPECT_TRUE(MinToTray::ServerName().startsWith(runtime + "/")) << MinToTray::ServerName().toStdString();
    MinToTray::Hide();
    EXPECT_TRUE(QFile::exists(MinToTray::ServerName()));
    EXPECT_TRUE(MinToTray::WakeRunningShop());
    EXPECT_TRUE(TestHelpers::eventually([] { return !MinToTray::IsHidden(); }));

    // Another user listening where a shop might: not our shop, so this launch goes on.
    if (::geteuid() != 0)
        GTEST_SKIP() << "another user's listener needs root to start";
    QTemporaryDir shared;
    ASSERT_TRUE(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
    const QString socket = shared.path() + "/stranger";
    QProcess stranger;
    stranger.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                               "import socket,sys\n"
                               "s=socket.socket(socket.AF_UNIX)\n"
                               "s.bind(sys.argv[1]); s.listen(5); print('ready', flush=True)\n"
                               "while True: s.accept()[0].close()\n",
                               socket});
    ASSERT_TRUE(stranger.waitForReadyRead(10000)) << stranger.readAllStandardError().toStdString();
    EXPECT_FALSE(MinToTray::WakeShopAt(socket));
    stranger.kill();
    stranger.waitForFinished();
}
