#include "support/shoptest.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/mru.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <QTest>
#include <QDir>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

#include <sys/stat.h>

class ArtPages : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
    }
    frmmain& main() { return Forms::get<frmmain>(); }
};

TEST_F(ArtPages, SavedAsciiFileHasFourLinesAndAnEmptyFifthAndOpensBack)
{
    main().setPageTexts({"a", "", "c", "d"});
    prompts.fileNames = {path("art.txt")};
    main().SaveAscii();
    EXPECT_EQ(readBytes("art.txt"), QByteArray("a\r\n\r\nc\r\nd\r\n\r\n"));
    main().clearPages();
    prompts.fileNames = {path("art.txt")};
    main().OpenAscii();
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"a", "", "c", "d"}));
}

TEST_F(ArtPages, SaveIsInWindows1252AndANameWithoutSuffixGetsGly)
{
    main().setPageTexts({QString::fromUtf8("‹›»"), "", "", ""});
    prompts.fileNames = {path("noext")};
    main().SaveAscii();
    EXPECT_FALSE(QFile::exists(path("noext")));
    EXPECT_EQ(readBytes("noext.gly"), QByteArray("\x8b\x9b\xbb\r\n\r\n\r\n\r\n\r\n"));
    EXPECT_EQ(Mru::Read("MRU2")[0].path, path("noext.gly"));
}

TEST_F(ArtPages, ReadingRuleShowsFourLinesAndKeepsTheRestInTheBuffer)
{
    writeBytes("six.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    prompts.fileNames = {path("six.txt")};
    main().OpenAscii();
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"1", "2", "3", "4"}));
    EXPECT_EQ(main().Text5, "5\r\n6\r\n");

    writeBytes("one.txt", "only");
    prompts.fileNames = {path("one.txt")};
    main().OpenAscii();
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"only", "", "", ""}));
}

TEST_F(ArtPages, UnreadableFileClearsThePagesAndCancelChangesNothing)
{
    main().setPageTexts({"a", "b", "c", "d"});
    main().OpenAscii(); // cancelled
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"a", "b", "c", "d"}));
    EXPECT_EQ(Mru::Read("MRU2")[0].path, "");
    prompts.fileNames = {path("gone.txt")};
    main().OpenAscii();
    EXPECT_EQ(main().pageTexts(), Pages::Four{});
}

TEST_F(ArtPages, AFailedSaveNamesTheFileAndTheReason)
{
    main().setPageTexts({"a", "", "", ""});
    prompts.fileNames = {path("no folder/art.txt")};
    main().SaveAscii();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(path("no folder/art.txt")));
    EXPECT_GT(prompts.messages[0].text.size(), path("no folder/art.txt").size() + 20);
}

TEST(PageFiles, ReadingTakesTheTextBeforeTheFirstLineEnd)
{
    EXPECT_EQ(Pages::PageFromPageFile("x\r\ny\r\n"), "x");
    EXPECT_EQ(Pages::PageFromPageFile("\r\n"), "");
    EXPECT_EQ(Pages::PageFromPageFile("whole"), "whole");
    QString buffer;
    EXPECT_EQ(Pages::ReadAsciiFile("a\rb", buffer), (Pages::Four{"a", "", "", ""}));
}

TEST_F(ArtPages, CopyAllFieldsJoinsTheFilledPages)
{
    main().setPageTexts({"a", "", "", "d"});
    main().CopyAllFields();
    EXPECT_EQ(QApplication::clipboard()->text(), "a\r\nd");
    EXPECT_EQ(Pages::CopyAllFieldsText({"a", "b", "", ""}), "a\r\nb\r\n");
}

TEST_F(ArtPages, DeleteAndSelectAllActOnTheActivePageOnly)
{
    Forms::get<menu2>().PageItem_Click(2);
    main().setPageTexts({"one", "two", "", ""});
    main().Text1->setSelection(0, 3);
    main().Text2->setSelection(0, 2);
    main().SetActivePage(0);
    main().DeleteSelection();
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"one", "two", "", ""}));
    main().SetActivePage(2);
    main().DeleteSelection();
    EXPECT_EQ(main().pageTexts(), (Pages::Four{"one", "o", "", ""}));
    main().SelectAllActive(false);
    EXPECT_EQ(main().Text2->selectedText(), "o");
}

TEST_F(ArtPages, EditKeysActOnThePageThatHadTheFocus)
{
    main().show();
    if (main().Timer8->isActive())
        main().Timer8_Timer(); // the staged start-up runs first, as in the program
    Forms::get<menu2>().AllTextboxes_Click();
    main().Text3->setFocus();
    QApplication::processEvents();
    main().Text3->insert("xyz");
    main().Text3->setSelection(0, 3);
    main().SendEditKey(frmmain::EditKey::Cut);
    EXPECT_EQ(main().Text3->text(), "");
    main().SendEditKey(frmmain::EditKey::Paste);
    main().SendEditKey(frmmain::EditKey::Paste);
    EXPECT_EQ(main().Text3->text(), "xyzxyz");
    main().SendEditKey(frmmain::EditKey::Undo);
    EXPECT_EQ(main().Text3->text(), "xyz");
}

TEST_F(ArtPages, RecentFilesListMovesAChosenEntryToTheTopAndKeepsItsCopy)
{
    for (const char* f : {"/art/one.gly", "/art/two.gly", "/art/three.gly"})
        Mru::Update("MRU2", f);
    writeBytes("two.gly", "2\r\n");
    Mru::Update("MRU2", path("two.gly"));
    Mru::Update("MRU2", "/art/last.gly");
    // entry 2 is now two.gly; choosing it puts it on top and keeps the old copy as entry 3
    menu1& files = Forms::get<menu1>();
    ASSERT_EQ(files.mru[1]->property("tag").toString(), path("two.gly"));
    files.mru[1]->click();
    const Mru::List list = Mru::Read("MRU2");
    EXPECT_EQ(list[0].path, path("two.gly"));
    EXPECT_EQ(list[0].name, "two.gly");
    EXPECT_EQ(list[1].path, "/art/last.gly");
    EXPECT_EQ(list[2].path, path("two.gly"));
    EXPECT_EQ(files.mru[2]->caption(), "two.gly");
    EXPECT_EQ(main().Text1->text(), "2");
}

TEST_F(ArtPages, RecentFilesLiveInThePerUserStoreAndClear)
{
    Mru::Update("MRU2", "/art/old.gly");
    EXPECT_EQ(Mru::Read("MRU2")[0].name, "old.gly");
    const QString store = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/GLY/GLY.ini";
    EXPECT_TRUE(store.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    QFile f(store);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[MRU2]"));
    EXPECT_TRUE(text.contains("1Description=old.gly"));
    Forms::get<menu1>().item("&clear MRU")->click();
    EXPECT_EQ(Mru::Read("MRU2")[0].path, "");
    EXPECT_EQ(Forms::get<menu1>().mru[0]->caption(), "");
}

TEST_F(ArtPages, AnEmptyRecentItemDoesNothing)
{
    main().setPageTexts({"a", "", "", ""});
    Forms::get<menu1>().mru[0]->click();
    EXPECT_EQ(main().Text1->text(), "a");
    EXPECT_EQ(Mru::Read("MRU2")[0].path, "");
}

// ---- what the user is told where the pages refuse something ----

namespace {
// A click activates its window, as the window manager does, and lands on the window there.
void click(QWidget* w)
{
    if (!w->window()->isActiveWindow()) {
        w->window()->activateWindow();
        QApplication::processEvents();
    }
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {}, w->mapTo(w->window(), w->rect().center()));
}
// Text dragged from another program and dropped in the middle of the widget.
void drop(QWidget* w, const QString& text)
{
    QMimeData dragged;
    dragged.setText(text);
    const QPointF at = w->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(w, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(w, &move);
    QDropEvent dropped(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(w, &dropped);
}
}

class PageRefusals : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
    }
    void openAscii(frmmain& main, const QString& file)
    {
        prompts.fileNames = {file};
        click(main.Label2);
        click(Forms::get<menu1>().item("&open ascii"));
    }
};

TEST_F(PageRefusals, APasteACharacterThePageCannotStoreNamesItAndChangesNothing)
{
    frmmain& main = launch();
    Forms::get<menu2>().checkAll();
    main.Text1->setText("ab");
    click(main.Text1);
    main.Text1->setCursorPosition(1);
    for (const auto& [clip, named] : {std::pair<QString, QString>{QString::fromUtf8("x\u03a9y"), QString::fromUtf8("\"\u03a9\" (U+03A9)")},
                                      {QString::fromUtf8("ok \U0001F600"), QString::fromUtf8("\"\U0001F600\" (U+1F600)")}}) {
        SCOPED_TRACE(named.toStdString());
        prompts.messages.clear();
        QApplication::clipboard()->setText(clip);
        QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].text, "A page cannot store " + named +
                                                ": pages hold only the characters of Windows-1252, so nothing was pasted.");
        EXPECT_EQ(main.Text1->text(), "ab");
    }
    // The Edit menu's paste says the same.
    prompts.messages.clear();
    click(main.Label5);
    click(Forms::get<menu3>().item("&paste"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QString::fromUtf8("A page cannot store \"\U0001F600\"")));
    EXPECT_EQ(main.Text1->text(), "ab");
    // What the page can hold pastes without a word; the euro sign is in the code page.
    prompts.messages.clear();
    QApplication::clipboard()->setText(QString::fromUtf8("\u20ac"));
    QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text1->text(), QString::fromUtf8("a\u20acb"));
}

TEST_F(PageRefusals, AFileThatIsNoArtIsRefusedAndThePagesKept)
{
    frmmain& main = launch();
    main.setPageTexts({"keep", "these", "four", "pages"});
    // A picture: a PNG's signature and header hold NUL bytes.
    writeBytes("output/photo.png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000100000001008060000001ff3ff61"));
    // No NUL, but control bytes everywhere: a program's data.
    QByteArray noisy;
    for (int i = 0; i < 200; ++i)
        noisy += char(i % 3 == 0 ? 0x01 + i % 7 : 'a');
    writeBytes("output/data.bin", noisy);
    for (const QString& file : {path("output/photo.png"), path("output/data.bin")}) {
        SCOPED_TRACE(file.toStdString());
        prompts.messages.clear();
        openAscii(main, file);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].text.startsWith(file + " is not an ascii file: "));
        EXPECT_TRUE(prompts.messages[0].text.endsWith("The pages were left as they were."));
        EXPECT_EQ(main.pageTexts(), (Pages::Four{"keep", "these", "four", "pages"}));
    }
    // Chat art with its bold and colour codes and a stray bell is art.
    writeBytes("output/irc.gly", "\x02\x03" "04,01<3\x0f plain\x07\r\n\x1fline\x1f\r\n");
    prompts.messages.clear();
    openAscii(main, path("output/irc.gly"));
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text1->text(), "\x02\x03" "04,01<3\x0f plain\x07");
    // Every open dialog of the pages starts in the output folder.
    ASSERT_FALSE(prompts.fileFolders.isEmpty());
    for (const QString& folder : prompts.fileFolders)
        EXPECT_EQ(QDir(folder).canonicalPath(), QDir(path("output")).canonicalPath());
}

TEST_F(PageRefusals, ASaveThatAddsGlyAsksBeforeReplacingThatFileAndNeverReplacesAPipeOrFolder)
{
    frmmain& main = launch();
    main.setPageTexts({"new", "", "", ""});
    const auto save = [&](const QString& typed) {
        prompts.messages.clear();
        prompts.fileNames = {typed};
        click(main.Label2);
        click(Forms::get<menu1>().item("&save ascii"));
    };
    const QByteArray fresh("new\r\n\r\n\r\n\r\n\r\n");
    for (const QString& typed : {QStringLiteral("name."), QStringLiteral(".hidden"), QStringLiteral("plain")}) {
        SCOPED_TRACE(typed.toStdString());
        const QString written = (typed.endsWith('.') ? typed.chopped(1) : typed) + ".gly";
        writeBytes("output/" + written, "old\r\n");
        Mru::Update("MRU2", "/art/before.gly");
        prompts.answers = {Prompts::Answer::No};
        save(path("output/" + typed));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].text, written + " already exists.\nDo you want to replace it?");
        EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
        EXPECT_EQ(readBytes("output/" + written), "old\r\n");
        EXPECT_EQ(Mru::Read("MRU2")[0].path, "/art/before.gly") << "a save not made is not a recent file";
        prompts.answers = {Prompts::Answer::Yes};
        save(path("output/" + typed));
        EXPECT_EQ(readBytes("output/" + written), fresh);
        EXPECT_EQ(Mru::Read("MRU2")[0].path, path("output/" + written));
    }
    // The name the dialog returned as it is: the dialog asked already.
    save(path("output/plain.gly"));
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A pipe or a folder under the name is never replaced by a file, whatever the answer.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("output/fifo.gly")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(path("output/dir.gly")));
    for (const QString& typed : {QStringLiteral("fifo."), QStringLiteral("fifo.gly"), QStringLiteral("dir")}) {
        SCOPED_TRACE(typed.toStdString());
        prompts.answers = {Prompts::Answer::Yes};
        save(path("output/" + typed));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].text.contains(" is not a plain file")) << prompts.messages[0].text.toStdString();
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Exclamation);
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path("output/fifo.gly")).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QFileInfo(path("output/dir.gly")).isDir());
}

TEST_F(PageRefusals, OnlyAFileThatOpenedGoesToTheTopOfTheRecentList)
{
    frmmain& main = launch();
    writeBytes("output/photo.png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("output/pipe.gly")).constData(), 0600), 0);
    writeBytes("output/art.gly", "art\r\n");
    for (const QString& refused : {path("output/photo.png"), path("output/pipe.gly")}) {
        SCOPED_TRACE(refused.toStdString());
        Mru::Update("MRU2", "/art/two.gly");
        Mru::Update("MRU2", "/art/one.gly");
        Mru::Update("MRU2", refused);
        prompts.messages.clear();
        menu1& files = Forms::get<menu1>();
        files.ShowMru(Mru::Read("MRU2"));
        click(main.Label2);
        ASSERT_EQ(files.mru[0]->property("tag").toString(), refused);
        click(files.mru[0]);
        EXPECT_EQ(prompts.messages.size(), 1) << "the refusal is told";
        const auto list = Mru::Read("MRU2");
        EXPECT_EQ(list[0].path, refused);
        EXPECT_EQ(list[1].path, "/art/one.gly") << "no second copy of a file that did not open";
        // Opened through the dialog: the list stays as it was too.
        openAscii(main, refused);
        EXPECT_EQ(Mru::Read("MRU2")[1].path, "/art/one.gly");
    }
    // A file that opened and a missing file (read as empty pages) go to the top.
    openAscii(main, path("output/art.gly"));
    EXPECT_EQ(main.Text1->text(), "art");
    EXPECT_EQ(Mru::Read("MRU2")[0].path, path("output/art.gly"));
    openAscii(main, path("output/gone.gly"));
    EXPECT_EQ(Mru::Read("MRU2")[0].path, path("output/gone.gly"));
    EXPECT_EQ(main.Text1->text(), "");
}

TEST_F(PageRefusals, TheContextMenusPasteIsThePagesOwnPaste)
{
    frmmain& main = launch();
    Forms::get<menu2>().checkAll();
    main.Text1->setText("ab");
    click(main.Text1);
    main.Text1->setCursorPosition(1);
    const auto pasteFromMenu = [&] {
        const QPoint at = main.Text1->rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, main.Text1->mapToGlobal(at));
        QApplication::sendEvent(main.Text1, &menuEvent);
        QMenu* menu = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible())
                menu = m;
        ASSERT_NE(menu, nullptr);
        QAction* paste = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().startsWith("&Paste"))
                paste = a;
        ASSERT_NE(paste, nullptr);
        ASSERT_TRUE(paste->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
        QApplication::processEvents();
    };
    prompts.messages.clear();
    QApplication::clipboard()->setText(QString::fromUtf8("x\u03a9y"));
    pasteFromMenu();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QString::fromUtf8("A page cannot store \"\u03a9\" (U+03A9)")));
    EXPECT_EQ(main.Text1->text(), "ab");
    // One line of the clipboard, as Ctrl+V pastes it, and the user is told of the others.
    prompts.messages.clear();
    QApplication::clipboard()->setText("L1\nL2\r\n\r\nL3\n");
    pasteFromMenu();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "A page holds one line, so only the first of the 3 pasted lines was taken; "
                                        "the macro shop takes art of several lines.");
    EXPECT_EQ(main.Text1->text(), "aL1b");
    // A line with its line end, or blank lines after it, leaves nothing out.
    prompts.messages.clear();
    QApplication::clipboard()->setText("L4\r\n  \n");
    pasteFromMenu();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text1->text(), "aL1L4b");
}

TEST_F(PageRefusals, AnAccentWrittenAsTwoCharactersPastesAndDropsAsOne)
{
    frmmain& main = launch();
    Forms::get<menu2>().checkAll();
    main.Text1->setText("");
    click(main.Text1);
    const QString decomposed = QStringLiteral("cafe") + QChar(0x0301);
    QApplication::clipboard()->setText(decomposed);
    QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text1->text(), QString::fromUtf8("caf\u00e9"));

    // Dropped text is composed the same way.
    main.Text2->setText("");
    drop(main.Text2, decomposed);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text2->text(), QString::fromUtf8("caf\u00e9"));
}

// A page holds 65536 characters: a paste or drop past that is cut to what fits, and the user is
// told how much was taken; what the page held stays.
TEST_F(PageRefusals, APasteLongerThanThePageIsCutAndTheCutIsTold)
{
    frmmain& main = launch();
    Forms::get<menu2>().checkAll();
    main.Text1->setText("keep");
    click(main.Text1);
    main.Text1->end(false);
    QApplication::clipboard()->setText(QString(20 * 1024 * 1024, QLatin1Char('x')) + "\nsecond line");
    QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "A page holds at most 65536 characters, so only the first 65532 of the "
                                        "20971520 pasted characters were taken. A page holds one line, so only the "
                                        "first of the 2 pasted lines was taken; the macro shop takes art of several "
                                        "lines.");
    EXPECT_EQ(main.Text1->text().size(), 65536);
    EXPECT_TRUE(main.Text1->text().startsWith("keepx"));

    // A paste that fits says nothing.
    prompts.messages.clear();
    main.Text1->setText("");
    QApplication::clipboard()->setText(QString(65536, QLatin1Char('y')));
    QTest::keyClick(main.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.Text1->text().size(), 65536);

    // Dropped on a page that is full already: nothing is taken, and that is told.
    drop(main.Text1, "zz");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "A page holds at most 65536 characters, so only the first 0 of the 2 "
                                        "pasted characters were taken.");
    EXPECT_EQ(main.Text1->text(), QString(65536, QLatin1Char('y')));
}
