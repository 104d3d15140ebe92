#include "support/shoptest.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "app/extract.h"
#include "core/forms.h"
#include "app/frmart.h"
#include "app/frmwelcome.h"
#include "app/handle.h"
#include "app/quit.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "shell/links.h"
#include "skin/pushlabel.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

using namespace CommonKit;

// Launch as the program does (ShopTest::launch runs the staged start-up step at once).
class Launch : public ShopTest {};

TEST_F(Launch, FirstRunAsksForTheHandleAndWritesTheSetupFiles)
{
    Startup::Launch();
    ASSERT_NE(Forms::loaded<handle>(), nullptr);
    handle& dialog = *Forms::loaded<handle>();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Text1->text(), "handle");
    EXPECT_EQ(Setting("HANDLE"), "unknown");
    EXPECT_EQ(Setting("SKIN"), "none"); // the dialog has its own picture
    EXPECT_EQ(Forms::loaded<frmmain>(), nullptr);

    dialog.Text1->setText("MixedCase");
    dialog.Label3->click();
    EXPECT_EQ(Setting("HANDLE"), "mixedcase");
    extract& setup = Forms::get<extract>();
    EXPECT_TRUE(setup.isVisible());
    setup.Timer1_Timer();

    EXPECT_EQ(readBytes("ascii/asc.asc"), QByteArray("\r\n"));
    EXPECT_TRUE(readBytes("readme.txt").startsWith("[READ ME!]\r\n"));
    EXPECT_TRUE(readBytes("output/about.gly").endsWith("\r\n"));
    EXPECT_TRUE(QFile::exists(Links::StartMenuLink()));
    EXPECT_TRUE(QFile::exists(Links::QuickLaunchLink()));
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(setup.ProgressBar1->value(), 3);
    EXPECT_EQ(clock.waits.mid(0, 2), (QList<double>{2.2, 0.1}));

    frmmain& main = Forms::get<frmmain>();
    ASSERT_TRUE(main.Timer8->isActive());
    main.Timer8_Timer();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(Setting("LOADED"), "1");
    // No page in use yet: the pages and the string list stay hidden.
    EXPECT_TRUE(main.Text1->isHidden());
    EXPECT_TRUE(main.List1->isHidden());
    EXPECT_EQ(Forms::loaded<frmart>(), nullptr);
}

TEST_F(Launch, SetupSaysWhichFileAlreadyExistsAndKeepsIt)
{
    ResetSettings();
    writeBytes("readme.txt", "mine");
    Startup::Launch();
    Forms::loaded<handle>()->Label3->click();
    Forms::get<extract>().Timer1_Timer();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, path("readme.txt") + " file already exists.");
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::None);
    EXPECT_EQ(readBytes("readme.txt"), QByteArray("mine"));
    EXPECT_EQ(readBytes("ascii/asc.asc"), QByteArray("\r\n"));
}

TEST_F(Launch, CancelLeavesNoSettingsFile)
{
    Startup::Launch();
    Forms::loaded<handle>()->Label4->click();
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_EQ(process.ends, 1);
}

TEST_F(Launch, SecondLaunchRestoresPlacePagesPanelAndRollUp)
{
    writeSettings();
    SetSetting("X", "1500");
    SetSetting("Y", "3000");
    SetSetting("OPTIONSWIN", "True");
    SetSetting("ROLLEDUP", "True");
    SetSetting("LOADED", "4");
    writeBytes("output/text1.gly", "x\r\ny\r\n");
    writeBytes("output/text3.gly", "third\r\n");
    writeBytes("ascii/asc.asc", "\r\nmine\r\n");
    frmmain& main = launch();
    EXPECT_EQ(Forms::loaded<handle>(), nullptr) << "a second run never builds the first-run dialog";
    EXPECT_EQ(main.Left(), 1500);
    EXPECT_EQ(main.Top(), 3000);
    EXPECT_EQ(main.Text1->text(), "x");
    EXPECT_EQ(main.Text2->text(), "");
    EXPECT_EQ(main.Text3->text(), "third");
    EXPECT_TRUE(Forms::get<menu2>().allChecked());
    EXPECT_TRUE(main.Text1->isEnabled());
    EXPECT_TRUE(Forms::get<frmrect>().optionsOpen());
    EXPECT_TRUE(Forms::get<ops>().isVisible());
    EXPECT_EQ(main.Height(), 550);
    EXPECT_EQ(Forms::get<menu1>().rollCaption(), "&roll down");
    EXPECT_EQ(Forms::get<frmrect>().Top(), main.Top() + main.Height());
    EXPECT_EQ(Setting("LOADED"), "5");
    EXPECT_EQ(Forms::get<frmrect>().Label5->caption(), "5");
    EXPECT_EQ(main.List1->strings().count("mine"), 1);
    EXPECT_FALSE(main.List1->strings().contains(""));
}

TEST_F(Launch, OnlyOneCoordinateStoredKeepsTheDesignedPlace)
{
    writeSettings();
    SetSetting("Y", "3000");
    writeBytes("ascii/asc.asc", "mine\r\n");
    frmmain& main = launch();
    EXPECT_NE(main.Top(), 3000);
    EXPECT_FALSE(main.List1->strings().contains("mine"));
}

TEST_F(Launch, APageFileWithoutLineEndGivesItsWholeContent)
{
    writeSettings();
    writeBytes("output/text2.gly", "no end");
    writeBytes("output/text4.gly", "");
    frmmain& main = launch();
    EXPECT_EQ(main.Text2->text(), "no end");
    EXPECT_EQ(main.Text4->text(), "");
}

TEST_F(Launch, CommandLineArtFileFillsThePages)
{
    writeSettings();
    writeBytes("art.gly", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    frmmain& main = launch(path("art.gly"));
    EXPECT_EQ(main.pageTexts(), (Pages::Four{"1", "2", "3", "4"}));
    EXPECT_TRUE(Forms::get<menu2>().allChecked());
}

TEST_F(Launch, LinkFilesAndUnreadableFilesChangeNoPage)
{
    writeSettings();
    writeBytes("output/text1.gly", "kept\r\n");
    for (const QByteArray& link : {QByteArray(), QByteArray("\r\n"), QByteArray("link\r\n")}) {
        writeBytes("link.gly", link);
        frmmain& main = launch(path("link.gly"));
        EXPECT_EQ(main.Text1->text(), "kept");
        Forms::unloadAll();
    }
    frmmain& main = launch(path("does not exist.gly"));
    EXPECT_EQ(main.Text1->text(), "kept");
    EXPECT_TRUE(main.isVisible());
}

TEST_F(Launch, StartupLinkFollowsTheSetting)
{
    writeSettings();
    SetSetting("LOADONSTARTUP", "true");
    launch();
    EXPECT_EQ(ReadFileText(Links::StartupLink()), "link\r\n");
    EXPECT_TRUE(QFile::exists(Links::AutostartEntry()));
    EXPECT_FALSE(Forms::get<menu2>().startupCheck->isHidden());
    Forms::unloadAll();
    SetSetting("LOADONSTARTUP", "True"); // only exactly "true" counts
    launch();
    EXPECT_FALSE(QFile::exists(Links::StartupLink()));
    EXPECT_FALSE(QFile::exists(Links::AutostartEntry()));
    EXPECT_TRUE(Forms::get<menu2>().startupCheck->isHidden());
}

TEST_F(Launch, WelcomeShowsWhileFewerThanTwoStartsAreCounted)
{
    writeSettings();
    SetSetting("LOADED", "1");
    Startup::WelcomeCheck();
    ASSERT_NE(Forms::loaded<frmwelcome>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmwelcome>()->isVisible());
    Forms::unload<frmwelcome>();
    SetSetting("LOADED", "2");
    Startup::WelcomeCheck();
    EXPECT_EQ(Forms::loaded<frmwelcome>(), nullptr);
}

class QuitProcedure : public Launch {
protected:
    frmmain& ready()
    {
        writeSettings();
        frmmain& main = launch();
        main.moveTwips(1500, 3000);
        main.setPageTexts({"one", "two", "", "four"});
        return main;
    }
};

TEST_F(QuitProcedure, CloseButtonAsksThenDeletesEmptyPagesAndWritesTheWholeFile)
{
    writeBytes("output/text3.gly", "old\r\n");
    frmmain& main = ready();
    prompts.answers = {Prompts::Answer::Yes};
    main.Label7_MouseUp(Qt::LeftButton, 100, 240);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Are you sure you want to quit without saving your ascii...?");
    EXPECT_EQ(prompts.messages[0].title, "Quorl Ascii Shop");
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Question);
    EXPECT_EQ(process.ends, 1);
    EXPECT_FALSE(QFile::exists(path("output/text3.gly")));
    EXPECT_EQ(readBytes("output/text1.gly"), QByteArray("one\r\n"));
    EXPECT_EQ(readBytes("output/text.gly"), QByteArray("one\r\ntwo\r\n\r\nfour\r\n\r\n"));
    EXPECT_EQ(Setting("X"), "1500");
    EXPECT_EQ(Setting("Y"), "3000");
    EXPECT_EQ(Setting("OPTIONSWIN"), "False");
    EXPECT_EQ(Setting("ROLLEDUP"), "False");
}

TEST_F(QuitProcedure, CloseButtonNoKeepsEverything)
{
    frmmain& main = ready();
    prompts.answers = {Prompts::Answer::No};
    main.Label7_MouseUp(Qt::LeftButton, 0, 0);
    EXPECT_EQ(process.ends, 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(Forms::get<frmrect>().isVisible());
    EXPECT_FALSE(QFile::exists(path("output/text1.gly")));
}

TEST_F(QuitProcedure, CloseButtonIgnoresReleasesBelowItOrWithTheRightButton)
{
    frmmain& main = ready();
    main.Label7_MouseUp(Qt::LeftButton, 0, 300);
    main.Label7_MouseUp(Qt::RightButton, 0, 100);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(process.ends, 0);
}

TEST_F(QuitProcedure, FilesMenuCloseWritesEmptyPagesAndNoWholeFile)
{
    frmmain& main = ready();
    Forms::get<frmrect>().Label4_Click();
    main.RollUpDown();
    Quit::FilesMenu();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(process.ends, 1);
    EXPECT_EQ(readBytes("output/text3.gly"), QByteArray("\r\n"));
    EXPECT_FALSE(QFile::exists(path("output/text.gly")));
    EXPECT_EQ(Setting("OPTIONSWIN"), "True");
    EXPECT_EQ(Setting("ROLLEDUP"), "True");
}

TEST_F(QuitProcedure, ASecondLaunchRestoresWhatQuitStored)
{
    ready();
    Quit::OptionsPanel();
    EXPECT_FALSE(QFile::exists(path("output/text3.gly")));
    EXPECT_TRUE(QFile::exists(path("output/text.gly")));
    Forms::unloadAll();
    frmmain& main = launch();
    EXPECT_EQ(main.Left(), 1500);
    EXPECT_EQ(main.Top(), 3000);
    EXPECT_EQ(main.pageTexts(), (Pages::Four{"one", "two", "", "four"}));
}
