#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu4.h"
#include "editor/pageedit.h"
#include "help/frmhelp.h"
#include "shell/desktopentry.h"
#include "shell/form1.h"
#include "shell/desktoptools.h"
#include "shell/iconinstall.h"
#include "shell/links.h"
#include "shell/systrayicon.h"
#include "skin/pushlabel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <sys/stat.h>

using namespace CommonKit;

namespace {

struct ToolRun {
    int exit = -1;
    QString out;
};

// A desktop tool as the user's shell would run it, with this test's per-user folders.
ToolRun run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(20000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed()};
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A stand-in program at an awkward place: records the arguments it was started with.
QString recorder(const QString& folder, const QString& log)
{
    QDir().mkpath(folder);
    const QString program = folder + "/quorl";
    QFile f(program);
    f.open(QIODevice::WriteOnly);
    // Written aside and renamed, so the log appears whole.
    f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$QUORL_ARGS_LOG.part\"\n"
            "mv \"$QUORL_ARGS_LOG.part\" \"$QUORL_ARGS_LOG\"\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QUORL_ARGS_LOG", log.toLocal8Bit());
    return program;
}

} // namespace

// Every test has its own $XDG_DATA_HOME and $XDG_CONFIG_HOME, so each start is a first one.
class Shell : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        ASSERT_TRUE(xdg.isValid());
        savedData = qgetenv("XDG_DATA_HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        setHomes(xdg.path() + "/data", xdg.path() + "/config");
        TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/icons"), path("icons"));
        writeSettings();
    }
    void TearDown() override
    {
        systrayicon::RemoveTrayIcon();
        DesktopEntry::SetProgram({});
        Startup::SetCommandLine({});
        ShopTest::TearDown();
        qputenv("XDG_DATA_HOME", savedData);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }
    void setHomes(const QString& data, const QString& config)
    {
        QDir().mkpath(data);
        QDir().mkpath(config);
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    }
    // A start as the program makes it, the staged start-up run at once.
    frmmain& launch()
    {
        Forms::unloadAll();
        QCoreApplication::processEvents();
        Startup::Launch();
        frmmain& main = Forms::get<frmmain>();
        if (main.Timer8->isActive())
            main.Timer8_Timer();
        // The desktop's caches are rebuilt beside the shop; what the desktop tools read waits on them.
        EXPECT_TRUE(DesktopTools::WaitForAll());
        return main;
    }
    QString data(const QString& rel) const { return xdg.path() + "/data/" + rel; }
    QString config(const QString& rel) const { return xdg.path() + "/config/" + rel; }

    QTemporaryDir xdg;
    QByteArray savedData, savedConfig;
};

// ---- the desktop entry and its key files ----

TEST(DesktopEntryFiles, ExecArgumentsAreQuotedAsTheDesktopReadsThem)
{
    using DesktopEntry::QuoteExecArgument;
    // Only an argument that needs them gets quotes.
    EXPECT_EQ(QuoteExecArgument("/opt/quorl-1.1/bin/quorl"), "/opt/quorl-1.1/bin/quorl");
    EXPECT_EQ(QuoteExecArgument("/opt/my shop/quorl"), "\"/opt/my shop/quorl\"");
    EXPECT_EQ(QuoteExecArgument("/opt/100%/quorl"), "/opt/100%%/quorl");
    EXPECT_EQ(QuoteExecArgument("/opt/100% art/quorl"), "\"/opt/100%% art/quorl\"");
    EXPECT_EQ(QuoteExecArgument("~/quorl"), "\"~/quorl\"");
    EXPECT_EQ(QuoteExecArgument("/opt/it's/quorl"), "\"/opt/it's/quorl\"");
    EXPECT_EQ(QuoteExecArgument("/opt/a;b/quorl"), "\"/opt/a;b/quorl\"");
    EXPECT_EQ(QuoteExecArgument(""), "\"\"");
    // In quotes a backslash becomes \\, and as a string value each of those is doubled again.
    EXPECT_EQ(QuoteExecArgument("/opt/a\\b/quorl"), "\"/opt/a\\\\\\\\b/quorl\"");
    EXPECT_EQ(QuoteExecArgument("/opt/\"q\"/$x`/quorl"), "\"/opt/\\\\\"q\\\\\"/\\\\$x\\\\`/quorl\"");
}

TEST(DesktopEntryFiles, RewritingOneKeyKeepsEverythingElse)
{
    auto file = DesktopEntry::KeyFile::fromText("# mine\n[Default Applications]\ntext/plain=editor.desktop;\n\n"
                                                "[Added Associations]\nimage/png=viewer.desktop;\n");
    file.setValue("Default Applications", "text/x-glyfile", "quorl.desktop;");
    file.setValue("Added Associations", "image/png", "other.desktop;");
    file.setValue("Removed Associations", "a/b", "c.desktop;");
    EXPECT_EQ(file.text(), "# mine\n[Default Applications]\ntext/plain=editor.desktop;\ntext/x-glyfile=quorl.desktop;\n\n"
                           "[Added Associations]\nimage/png=other.desktop;\n\n[Removed Associations]\na/b=c.desktop;\n");
    EXPECT_EQ(file.value("Default Applications", "text/plain"), "editor.desktop;");
    EXPECT_EQ(file.value("Added Associations", "text/plain"), "");
    EXPECT_FALSE(file.contains("Default Applications", "image/png"));
    EXPECT_EQ(DesktopEntry::ListValue("a;b\\;c;;d"), (QList<QString>{"a", "b;c", "", "d"}));
}

// ---- file types ----

TEST_F(Shell, OneStartRegistersBothTypesWithTheDesktopTools)
{
    frmmain& main = launch();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());

    const ToolRun valid = run("desktop-file-validate", {iconinstall::DesktopEntryPath()});
    EXPECT_EQ(valid.exit, 0) << valid.out.toStdString();
    EXPECT_EQ(valid.out, "");
    EXPECT_EQ(run("xdg-mime", {"query", "default", "text/x-glyfile"}).out, "quorl.desktop");
    EXPECT_EQ(run("xdg-mime", {"query", "default", "text/x-glymcrfile"}).out, "quorl.desktop");
    writeBytes("art piece.gly", "a\r\n");
    writeBytes("LOUD.MCR", "b\r\n");
    EXPECT_EQ(run("xdg-mime", {"query", "filetype", path("art piece.gly")}).out, "text/x-glyfile");
    EXPECT_EQ(run("xdg-mime", {"query", "filetype", path("LOUD.MCR")}).out, "text/x-glymcrfile");
    const auto entry = DesktopEntry::KeyFile::read(iconinstall::DesktopEntryPath());
    EXPECT_EQ(entry.value("Desktop Entry", "MimeType"), "text/x-glyfile;text/x-glymcrfile;");
    EXPECT_TRUE(bytesOf(iconinstall::MimePackagePath("glyfile")).contains("<comment>Quorl Ascii File</comment>"));
    EXPECT_TRUE(bytesOf(iconinstall::MimePackagePath("glymcrfile")).contains("<comment>Quorl Ascii Macro File</comment>"));
    for (int size : {16, 32, 48, 256}) {
        EXPECT_EQ(bytesOf(iconinstall::IconPath("glyfile", size)), readBytes(QStringLiteral("icons/gly-%1.png").arg(size)));
        EXPECT_EQ(bytesOf(iconinstall::IconPath("glymcrfile", size)), readBytes(QStringLiteral("icons/mcr-%1.png").arg(size)));
        EXPECT_TRUE(QFile::exists(data(QStringLiteral("icons/hicolor/%1x%1/apps/quorl.png").arg(size))));
    }
}

TEST_F(Shell, TheUsersOtherDefaultsSurviveTheRegistration)
{
    writeFile(config("mimeapps.list"), "[Default Applications]\ntext/plain=editor.desktop;\n# keep me\n");
    launch();
    const auto apps = DesktopEntry::KeyFile::read(config("mimeapps.list"));
    EXPECT_EQ(apps.value("Default Applications", "text/plain"), "editor.desktop;");
    EXPECT_EQ(apps.value("Default Applications", "text/x-glyfile"), "quorl.desktop;");
    EXPECT_TRUE(bytesOf(config("mimeapps.list")).contains("# keep me\n"));
}

TEST_F(Shell, AStoredCommandThatDiffersOnlyInCaseWritesNothing)
{
    launch();
    QByteArray entry = bytesOf(iconinstall::DesktopEntryPath());
    const QByteArray exec = "Exec=" + iconinstall::ExecLine().toUtf8();
    ASSERT_TRUE(entry.contains(exec));
    entry.replace(exec, "Exec=" + iconinstall::ExecLine().toUpper().toUtf8());
    writeFile(iconinstall::DesktopEntryPath(), entry);
    const QStringList files = {iconinstall::DesktopEntryPath(), iconinstall::MimeAppsPath(),
                               iconinstall::MimePackagePath("glyfile"), iconinstall::MimePackagePath("glymcrfile"),
                               iconinstall::IconPath("glyfile", 48), data("mime/mime.cache")};
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    for (const QString& f : files) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << f.toStdString();
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    launch();
    EXPECT_EQ(bytesOf(iconinstall::DesktopEntryPath()), entry);
    for (const QString& f : files)
        EXPECT_EQ(QFileInfo(f).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch()) << f.toStdString();
}

TEST_F(Shell, AMovedProgramOrAMissingIconRegistersAgain)
{
    DesktopEntry::SetProgram(path("old place/quorl"));
    launch();
    writeFile(iconinstall::DesktopEntryPath(),
              bytesOf(iconinstall::DesktopEntryPath()) + "X-Mine=kept\n"); // a key the shop does not own
    DesktopEntry::SetProgram(path("new place/quorl"));
    launch();
    auto entry = DesktopEntry::KeyFile::read(iconinstall::DesktopEntryPath());
    EXPECT_EQ(entry.value("Desktop Entry", "Exec"), "\"" + path("new place/quorl") + "\" %f");
    EXPECT_EQ(entry.value("Desktop Entry", "X-Mine"), "kept");
    EXPECT_EQ(entry.value("Desktop Entry", "MimeType"), "text/x-glyfile;text/x-glymcrfile;");

    ASSERT_TRUE(QFile::remove(iconinstall::IconPath("glymcrfile", 32)));
    launch();
    EXPECT_EQ(bytesOf(iconinstall::IconPath("glymcrfile", 32)), readBytes("icons/mcr-32.png"));

    // Icons missing from the program folder: the types are registered all the same, once.
    QDir(path("icons")).removeRecursively();
    setHomes(xdg.path() + "/data2", xdg.path() + "/config2");
    launch();
    EXPECT_EQ(run("xdg-mime", {"query", "default", "text/x-glymcrfile"}).out, "quorl.desktop");
    const QDateTime written = QFileInfo(iconinstall::DesktopEntryPath()).lastModified();
    QFile entryFile(iconinstall::DesktopEntryPath());
    ASSERT_TRUE(entryFile.open(QIODevice::ReadWrite));
    entryFile.setFileTime(written.addDays(-1), QFileDevice::FileModificationTime);
    entryFile.close();
    launch();
    EXPECT_EQ(QFileInfo(iconinstall::DesktopEntryPath()).lastModified(), written.addDays(-1));
}

// A first start does not wait on the desktop's cache tools: the main window is up while a slow
// update-mime-database still runs, and the tools run one after the other, each again only when
// files changed since it started.
TEST_F(Shell, AFirstStartRunsTheCacheToolsBesideTheShopOneAtATime)
{
    const QString bin = path("slowtools");
    const QString gate = path("gate"), log = path("tools.log");
    QDir().mkpath(bin);
    ASSERT_EQ(::mkfifo(gate.toLocal8Bit().constData(), 0600), 0);
    for (const QString tool : {"update-mime-database", "update-desktop-database"}) {
        QFile f(bin + "/" + tool);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Each says when it starts and ends; the mime tool's first run waits until the test opens
        // the gate.
        QByteArray body = "#!/bin/sh\necho \"start $0\" >> \"" + log.toLocal8Bit() + "\"\n";
        if (tool == QLatin1String("update-mime-database"))
            body += "[ -e \"" + gate.toLocal8Bit() + ".passed\" ] || { read line < \"" + gate.toLocal8Bit() +
                    "\"; touch \"" + gate.toLocal8Bit() + ".passed\"; }\n";
        body += "echo \"end $0\" >> \"" + log.toLocal8Bit() + "\"\n";
        f.write(body);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", (bin + ":" + savedPath).toLocal8Bit());
    struct Restore {
        QByteArray path;
        ~Restore() { qputenv("PATH", path); }
    } restore{savedPath};

    Forms::unloadAll();
    Startup::Launch();
    frmmain& main = Forms::get<frmmain>();
    if (main.Timer8->isActive())
        main.Timer8_Timer();
    EXPECT_TRUE(main.isVisible());
    ASSERT_TRUE(TestHelpers::eventually([&] { return QFile::exists(log); }));
    EXPECT_FALSE(DesktopTools::WaitForAll(50)) << "the mime tool still waits at its gate";
    EXPECT_EQ(bytesOf(log), "start " + (bin + "/update-mime-database").toUtf8() + "\n")
        << "the desktop tool waits for the mime tool";
    // The entry and the defaults are written before the tools run.
    EXPECT_TRUE(QFile::exists(iconinstall::DesktopEntryPath()));
    EXPECT_TRUE(QFile::exists(iconinstall::MimePackagePath("glymcrfile")));

    QFile open(gate);
    ASSERT_TRUE(open.open(QIODevice::WriteOnly));
    open.write("go\n");
    open.close();
    // The second type's files changed while the mime tool ran: it runs once more, after the
    // desktop tool queued before it.
    ASSERT_TRUE(TestHelpers::eventually([&] { return DesktopTools::WaitForAll(10); }));
    const QList<QByteArray> lines = bytesOf(log).trimmed().split('\n');
    const QByteArray mime = (bin + "/update-mime-database").toUtf8(), desk = (bin + "/update-desktop-database").toUtf8();
    EXPECT_EQ(lines, (QList<QByteArray>{"start " + mime, "end " + mime, "start " + desk, "end " + desk,
                                         "start " + mime, "end " + mime}));

    // Those tools built no cache (as one killed midway): the next start, with the desktop's own
    // tools, builds it, and the desktop knows the types.
    qputenv("PATH", savedPath);
    writeBytes("x.gly", "a\r\n");
    launch();
    EXPECT_EQ(run("xdg-mime", {"query", "filetype", path("x.gly")}).out, "text/x-glyfile");
    const QDateTime built = QFileInfo(data("mime/mime.cache")).lastModified();
    launch();
    EXPECT_EQ(QFileInfo(data("mime/mime.cache")).lastModified(), built) << "a built cache is left alone";
}

TEST_F(Shell, AwkwardProgramFoldersStillGiveAnEntryTheDesktopCanStart)
{
    writeBytes("my art.gly", "x\r\n");
    const QStringList folders = {"with space", "100% art", "back\\slash", "say \"hi\" it's", "cash $HOME `id`"};
    for (const QString& name : folders) {
        SCOPED_TRACE(name.toStdString());
        const QString log = path("args.log");
        QFile::remove(log);
        DesktopEntry::SetProgram(recorder(path(name), log));
        QString error;
        ASSERT_TRUE(iconinstall::RegisterFileType(".gly", "glyfile", "Quorl Ascii File", "gly", &error))
            << error.toStdString();
        const ToolRun valid = run("desktop-file-validate", {iconinstall::DesktopEntryPath()});
        EXPECT_EQ(valid.exit, 0);
        EXPECT_EQ(valid.out, "");
        // The desktop's own launcher starts the program at that place with the file. (GLib's looks
        // for the program before it turns "%%" back into "%", so that one folder is left to the
        // validator.)
        if (name.contains('%'))
            continue;
        run("gio", {"launch", iconinstall::DesktopEntryPath(), path("my art.gly")});
        EXPECT_TRUE(TestHelpers::eventually([&] { return QFile::exists(log); }));
        EXPECT_EQ(bytesOf(log), (path("my art.gly") + "\n").toUtf8());
    }
}

// xdg-open in a session it knows no desktop of reads the Exec line itself: its first word must be
// the program as it stands.
TEST_F(Shell, XdgOpenWithoutAKnownDesktopStartsTheShopWithTheFile)
{
    writeBytes("my art.gly", "x\r\n");
    writeBytes("tune.mcr", "y\r\n");
    const QString log = path("args.log");
    DesktopEntry::SetProgram(recorder(path("opt/quorl-1.1"), log));
    launch();
    EXPECT_TRUE(prompts.messages.isEmpty());
    const QString exec = DesktopEntry::KeyFile::read(iconinstall::DesktopEntryPath()).value("Desktop Entry", "Exec");
    EXPECT_EQ(exec, path("opt/quorl-1.1/quorl") + " %f");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                             "BROWSER", "WAYLAND_DISPLAY"})
        env.remove(name);
    // xdg-open asks for the desktop's file types only where it sees a display; none is opened.
    env.insert("DISPLAY", ":9999");
    for (const QString& file : {path("my art.gly"), path("tune.mcr")}) {
        SCOPED_TRACE(file.toStdString());
        QFile::remove(log);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("xdg-open", {file});
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(TestHelpers::eventually([&] { return QFile::exists(log); }));
        EXPECT_EQ(bytesOf(log), (file + "\n").toUtf8());
    }
}

TEST_F(Shell, AnUnwritableDataFolderIsToldAndTheShopWorksOn)
{
    writeFile(xdg.path() + "/blocked", "a file where a folder should be");
    qputenv("XDG_DATA_HOME", (xdg.path() + "/blocked/data").toLocal8Bit());
    writeBytes("output/text1.gly", "kept\r\n");
    frmmain& main = launch();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.Text1->text(), "kept");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(xdg.path() + "/blocked/data")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains("could not be registered"));
    EXPECT_EQ(Setting("HANDLE"), "tester");
}

// An installed shop: the entry, the types and the icons are the system's; the user gets the
// default alone, and an entry of a shop started elsewhere no longer hides the installed one.
TEST_F(Shell, AnInstalledShopRegistersNothingTheSystemHasForEveryUser)
{
    const QString system = xdg.path() + "/system";
    writeFile(system + "/applications/quorl.desktop", bytesOf(QUORL_SOURCE_DIR "/packaging/quorl.desktop"));
    writeFile(system + "/mime/packages/quorl.xml", bytesOf(QUORL_SOURCE_DIR "/packaging/quorl-mime.xml"));
    ASSERT_EQ(run("update-mime-database", {system + "/mime"}).exit, 0);
    ASSERT_EQ(run("update-desktop-database", {system + "/applications"}).exit, 0);
    const QByteArray savedDirs = qgetenv("XDG_DATA_DIRS"), savedPath = qgetenv("PATH");
    qputenv("XDG_DATA_DIRS", (system + ":/usr/share").toLocal8Bit());
    // The packaged entry says "quorl": the one on the PATH.
    const QString installed = recorder(path("usr/bin"), path("args.log"));
    qputenv("PATH", (path("usr/bin") + ":" + savedPath).toLocal8Bit());
    struct Restore {
        QByteArray dirs, path;
        ~Restore() { qputenv("XDG_DATA_DIRS", dirs), qputenv("PATH", path); }
    } restore{savedDirs, savedPath};

    DesktopEntry::SetProgram(installed);
    launch();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(data("applications")));
    EXPECT_FALSE(QFile::exists(data("mime")));
    EXPECT_FALSE(QFile::exists(data("icons")));
    EXPECT_EQ(run("xdg-mime", {"query", "default", "text/x-glyfile"}).out, "quorl.desktop");
    EXPECT_EQ(run("xdg-mime", {"query", "default", "text/x-glymcrfile"}).out, "quorl.desktop");
    writeBytes("art.gly", "a\r\n");
    EXPECT_EQ(run("xdg-mime", {"query", "filetype", path("art.gly")}).out, "text/x-glyfile");

    // A shop run from a build folder registers itself as before, beside the installed one...
    DesktopEntry::SetProgram(path("build/stage/quorl"));
    launch();
    EXPECT_TRUE(bytesOf(iconinstall::DesktopEntryPath()).contains(path("build/stage/quorl").toUtf8()));
    // ...and the installed shop takes that entry away again, keeping the user's own default.
    writeFile(config("mimeapps.list"), "[Default Applications]\ntext/x-glyfile=editor.desktop;\n");
    DesktopEntry::SetProgram(installed);
    launch();
    EXPECT_FALSE(QFile::exists(iconinstall::DesktopEntryPath()));
    const auto apps = DesktopEntry::KeyFile::read(config("mimeapps.list"));
    EXPECT_EQ(apps.value("Default Applications", "text/x-glyfile"), "editor.desktop;");
    EXPECT_EQ(apps.value("Default Applications", "text/x-glymcrfile"), "quorl.desktop;");
}

// ---- load on startup ----

class StartupLinkMenu : public Shell {
protected:
    void clickLoadOnStartup(frmmain& main)
    {
        QTest::mouseClick(main.Label3, Qt::LeftButton, {}, QPoint(4, 4)); // "&Options"
        menu2& menu = Forms::get<menu2>();
        ASSERT_TRUE(menu.isVisible());
        PushLabel* item = menu.item("&load on startup");
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, 4));
        EXPECT_FALSE(menu.isVisible());
    }
};

TEST_F(StartupLinkMenu, OnWritesTheLinkAndAnEntryThatStartsTheShopWithIt)
{
    const QString log = path("startup args.log");
    DesktopEntry::SetProgram(recorder(path("an \"odd\" \\ $place"), log));
    frmmain& main = launch();
    clickLoadOnStartup(main);
    EXPECT_EQ(Setting("LOADONSTARTUP"), "true");
    EXPECT_FALSE(Forms::get<menu2>().startupCheck->isHidden());
    EXPECT_EQ(bytesOf(Links::StartupLink()), "link\r\n");
    const ToolRun valid = run("desktop-file-validate", {Links::AutostartEntry()});
    EXPECT_EQ(valid.exit, 0);
    EXPECT_EQ(valid.out, "");
    run("gio", {"launch", Links::AutostartEntry()});
    EXPECT_TRUE(TestHelpers::eventually([&] { return QFile::exists(log); }));
    EXPECT_EQ(bytesOf(log), (Links::StartupLink() + "\n").toUtf8());

    clickLoadOnStartup(main);
    EXPECT_EQ(Setting("LOADONSTARTUP"), "false");
    EXPECT_TRUE(Forms::get<menu2>().startupCheck->isHidden());
    EXPECT_FALSE(QFile::exists(Links::StartupLink()));
    EXPECT_FALSE(QFile::exists(Links::AutostartEntry()));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(StartupLinkMenu, AConfigFolderThatTakesNothingIsToldAndLeavesTheOptionOff)
{
    frmmain& main = launch();
    writeFile(xdg.path() + "/blocked", "x");
    qputenv("XDG_CONFIG_HOME", (xdg.path() + "/blocked/config").toLocal8Bit());
    clickLoadOnStartup(main);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains("could not be set to load on startup"));
    EXPECT_TRUE(prompts.messages[0].text.contains(xdg.path() + "/blocked/config"));
    EXPECT_EQ(Setting("LOADONSTARTUP"), "False"); // as it was
    EXPECT_TRUE(Forms::get<menu2>().startupCheck->isHidden());
    EXPECT_FALSE(QFile::exists(Links::StartupLink())); // no half a setting left behind
    EXPECT_TRUE(main.isVisible());
}

// ---- the tray ----

class Tray : public Shell {
protected:
    void pick(QAction* action)
    {
        QMenu* menu = Forms::get<Form1>().file;
        menu->popup(QPoint(200, 200));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        EXPECT_FALSE(menu->isVisible());
    }
};

TEST_F(Tray, WithoutATrayMinToTrayMinimizesSoTheWindowsStayReachable)
{
    ASSERT_FALSE(systrayicon::TrayAvailable()); // the offscreen desktop has no tray
    frmmain& main = launch();
    ASSERT_NE(systrayicon::Icon(), nullptr); // added at load, waiting for a tray to appear
    QTest::mouseClick(main.Label2, Qt::LeftButton, {}, QPoint(4, 4)); // "&Files"
    PushLabel* item = Forms::get<menu1>().item("&min to tray");
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, 4));
    EXPECT_TRUE(main.isMinimized());
    EXPECT_FALSE(Forms::get<frmrect>().isVisible());
}

TEST_F(Tray, MaximizeBringsBackTheStackAndExitKeepsThePages)
{
    frmmain& main = launch();
    Forms::get<frmrect>().Label4_Click(); // options panel open
    main.hide();
    Forms::get<frmrect>().hide();
    Forms::get<ops>().hide();
    pick(Forms::get<Form1>().maximize);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(Forms::get<frmrect>().isVisible());
    EXPECT_TRUE(Forms::get<ops>().isVisible());

    Forms::get<menu2>().PageItem_Click(1);
    QTest::keyClicks(main.Text1, "art");
    ASSERT_EQ(main.Text1->text(), "art");
    pick(Forms::get<Form1>().exit);
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(systrayicon::Icon(), nullptr);
    EXPECT_EQ(readBytes("output/text1.gly"), "art\r\n");
    EXPECT_FALSE(main.isVisible());
}

TEST_F(Tray, ReadMeAndAboutSkinShowTheirBoxes)
{
    launch();
    writeBytes("readme.ini", "[quorl]\r\ntxt=read this first\r\n");
    pick(Forms::get<Form1>().readme);
    QFile::remove(path("readme.ini"));
    pick(Forms::get<Form1>().readme); // no readme.ini: the shop's own read-me
    pick(Forms::get<Form1>().aboutskin);
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_EQ(prompts.messages[0].text, "read this first");
    EXPECT_EQ(prompts.messages[0].title, "Read me!");
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
    EXPECT_TRUE(prompts.messages[1].text.startsWith("Welcome to quorl ascii shop."));
    EXPECT_EQ(prompts.messages[2].title, "Slate Dusk");
    EXPECT_TRUE(prompts.messages[2].text.startsWith("Skin name:        Slate Dusk\rArtist name:    Tavi Brennock\r"));
}

TEST_F(Tray, AdvertizeSendsItsBannerIntoTheChatRoom)
{
    ChatClientLauncher client;
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    launch();
    const int before = int(client.transcript().size()); // the start-up banner
    pick(Forms::get<Form1>().advertize);
    const auto lines = client.transcript();
    ASSERT_EQ(int(lines.size()) - before, 4);
    EXPECT_TRUE(lines[before].bytes.contains("dvertizing | beta 4.1 |"));
    EXPECT_TRUE(lines[before + 3].bytes.endsWith(" | download | quorl ascii shop \xb9\xb7\xb9 |"));
}

// ---- help ----

TEST_F(Shell, TheHelpButtonExplainsEveryWindowAndMenu)
{
    frmmain& main = launch();
    QTest::mouseClick(main.Label8, Qt::LeftButton, {}, QPoint(2, 4));
    frmhelp* help = Forms::loaded<frmhelp>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->Text1->toPlainText();
    for (const char* topic : {"The main window", "Files menu", "Options menu", "Edit menu", "Help menu", "The window menu",
                              "The macro shop", "The fader", "Filters", "Mail", "Skins", "The tray icon"})
        EXPECT_TRUE(text.contains(topic)) << topic;
    QTest::mouseClick(help->Label3, Qt::LeftButton, {}, QPoint(4, 4)); // "&Ok"
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmhelp>(), nullptr);
}

TEST_F(Tray, EveryQuitTakesTheIconAway)
{
    frmmain& main = launch();
    ASSERT_NE(systrayicon::Icon(), nullptr);
    QTest::mouseClick(main.Label2, Qt::LeftButton, {}, QPoint(4, 4)); // "&Files"
    QTest::mouseClick(Forms::get<menu1>().item("&close"), Qt::LeftButton, {}, QPoint(6, 4));
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(systrayicon::Icon(), nullptr);
    // The menu's window unloaded and loaded afresh still serves the icon when it is added again.
    systrayicon::AddTrayIcon();
    Forms::unload<Form1>();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    systrayicon::AddTrayIcon();
    ASSERT_NE(systrayicon::Icon(), nullptr);
    EXPECT_EQ(systrayicon::Icon()->contextMenu(), Forms::get<Form1>().file);
}
