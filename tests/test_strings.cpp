#include "support/helpers.h"
#include "support/shoptest.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/addascii.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "editor/frmmain.h"
#include "editor/frmsetascii.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "editor/stringlist.h"
#include "editor/stringorder.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "platform/codepage.h"
#include "platform/userstore.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <random>

namespace {

QString cp(const char* bytes) { return CodePage::toUnicode(QByteArray(bytes)); }

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

void clickEntry(StringList* list, const QString& text, bool twice = false)
{
    const int row = int(list->strings().indexOf(text));
    ASSERT_GE(row, 0) << text.toStdString();
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) {
        // The second press of a double click arrives as a press and a double click.
        QWidget* v = list->viewport();
        QTest::mousePress(v, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, v->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(v, &dbl);
        QTest::mouseRelease(v, Qt::LeftButton, {}, at);
    }
}

QStringList storedSlots()
{
    QStringList out;
    for (int n = 1; n <= 13; ++n)
        out << UserStore::GetSetting("GLY", "Strings", "String" + QString::number(n), "&none");
    return out;
}

void storeSlots(const QStringList& values)
{
    for (int n = 1; n <= 13; ++n)
        UserStore::SaveSetting("GLY", "Strings", "String" + QString::number(n), values[n - 1]);
}

} // namespace

// ---- the order of the string lists ----

TEST(StringOrder, TheCharacterSetShuffledAndSortedComesBackInItsGivenOrder)
{
    const QStringList given = StringOrder::CharacterSet();
    ASSERT_EQ(given.size(), 215);
    // The set is every byte 21..FE but eleven, and the four strings.
    int singles = 0;
    for (const QString& s : given)
        singles += s.size() == 1;
    EXPECT_EQ(singles, 211);
    EXPECT_EQ(QSet<QString>(given.begin(), given.end()).size(), 215);
    for (unsigned seed : {1u, 7u, 2026u}) {
        QStringList shuffled = given;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(seed));
        std::sort(shuffled.begin(), shuffled.end(), StringOrder::Less);
        EXPECT_EQ(shuffled, given) << "seed " << seed;
    }
}

TEST(StringOrder, UserStringsFallAmongTheCharactersByLetterThenAccentThenCase)
{
    using StringOrder::Less;
    // Letters first without case or accents.
    EXPECT_TRUE(Less("A", "ab"));
    EXPECT_TRUE(Less("ab", "b"));
    EXPECT_TRUE(Less(cp("\xe9t"), "ez"));   // ét before ez: the letters decide first
    EXPECT_TRUE(Less(cp("\xe1" "a"), "Ab"));
    EXPECT_FALSE(Less("Ab", "aa"));
    // Then accents, then case.
    EXPECT_TRUE(Less("cote", cp("cot\xe9")));
    EXPECT_TRUE(Less("cote", "Cote"));
    EXPECT_TRUE(Less("Cote", cp("cot\xe9")));
    // Hyphens and apostrophes are ignored within words and only break ties.
    EXPECT_TRUE(Less("coop", "co-op"));
    EXPECT_TRUE(Less("co-op", "copa"));
    EXPECT_TRUE(Less("dont", "don't"));
    // Symbols before digits before letters; a ligature after every plain a.
    EXPECT_TRUE(Less("~~~", "0"));
    EXPECT_TRUE(Less("9", "a"));
    EXPECT_TRUE(Less(cp("ad"), cp("\xe6")));
    EXPECT_TRUE(Less(cp("\xe6"), "af"));
    // A blank sorts before every other symbol; equal strings are equal.
    EXPECT_TRUE(Less("a b", "a!"));
    EXPECT_EQ(StringOrder::Compare(":)", ":)"), 0);
    EXPECT_NE(StringOrder::Compare("x", "X"), 0);
}

// ---- the main window's string list and the add-string dialog ----

class StringsTest : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
    }
};

TEST_F(StringsTest, StartUpAddsTheFileLinesInSortedPlaceAndDropsEmptyOnes)
{
    CommonKit::SetSetting("X", "1500");
    CommonKit::SetSetting("Y", "1500");
    writeBytes("ascii/asc.asc", "\r\n" "zz top\r\n" "\r" "ab\r\n");
    frmmain& main = Forms::get<frmmain>();
    const QStringList list = main.List1->strings();
    ASSERT_EQ(list.size(), 217);
    // After every single a, accents included, and before the ligature that reads "ae".
    EXPECT_EQ(list.indexOf("ab"), list.indexOf(cp("\xc5")) + 1);
    EXPECT_EQ(list.indexOf(cp("\xe6")), list.indexOf("ab") + 1);
    EXPECT_EQ(list.indexOf("zz top"), 216);
    EXPECT_FALSE(list.contains(""));
}

TEST_F(StringsTest, AStringFileLoadsInTheOrderOfAddingItsLinesOneByOne)
{
    // Repeats, strings equal to entries of the character set, strings that differ only in case,
    // accents or ignored characters: equal strings keep the order of the file, after the set's.
    const QStringList& set = StringOrder::CharacterSet();
    std::mt19937 rng(3);
    QStringList lines;
    for (int i = 0; i < 3000; ++i) {
        QString line;
        switch (rng() % 4) {
        case 0: line = set[rng() % set.size()]; break;
        case 1: line = lines.isEmpty() ? "a" : lines[rng() % lines.size()]; break;
        case 2: line = QStringList{"ab", "AB", "-ab", "a'b", cp("á" "b"), "a b"}[rng() % 6]; break;
        default:
            for (int n = 1 + int(rng() % 6); n > 0; --n)
                line += set[rng() % set.size()];
        }
        lines << line;
    }
    QByteArray file;
    for (const QString& l : lines)
        file += CodePage::fromUnicode(l) + "\r\n";
    writeBytes("ascii/asc.asc", file);
    CommonKit::SetSetting("X", "1500");
    CommonKit::SetSetting("Y", "1500");
    frmmain& main = Forms::get<frmmain>();

    StringList oneByOne;
    oneByOne.AddCharacterSet();
    for (const QString& l : lines)
        oneByOne.AddString(l);
    ASSERT_EQ(main.List1->count(), 215 + 3000);
    EXPECT_EQ(main.List1->strings(), oneByOne.strings());
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Adding to a list longer than what is added takes the same order.
    StringList bulk;
    bulk.AddStrings(lines);
    bulk.AddStrings(set);
    StringList single;
    for (const QString& l : lines + set)
        single.AddString(l);
    EXPECT_EQ(bulk.strings(), single.strings());
}

TEST_F(StringsTest, AddedStringShowsInItsSortedPlaceAndAsTheFilesLastLine)
{
    writeBytes("ascii/asc.asc", "first\r\n");
    frmmain& main = Forms::get<frmmain>();
    addascii& dialog = Forms::get<addascii>();
    dialog.show();
    QTest::keyClicks(dialog.Text1, "mo");
    click(dialog.Label3);
    EXPECT_EQ(Forms::loaded<addascii>(), nullptr) << "Ok closes the dialog";
    const QStringList list = main.List1->strings();
    EXPECT_EQ(list.indexOf("mo"), list.indexOf("M") + 1);
    EXPECT_EQ(readBytes("ascii/asc.asc"), "first\r\nmo\r\n");
}

TEST_F(StringsTest, TheFirstStringMakesAFileOfAnEmptyLineAndTheString)
{
    addascii& dialog = Forms::get<addascii>();
    EXPECT_EQ(readBytes("ascii/asc.asc"), "\r\n") << "loading creates the file";
    dialog.show();
    click(dialog.Label3);
    EXPECT_NE(Forms::loaded<addascii>(), nullptr) << "an empty box keeps the dialog open";
    QTest::keyClicks(dialog.Text1, "<3");
    click(dialog.Label3);
    EXPECT_EQ(readBytes("ascii/asc.asc"), "\r\n<3\r\n");
    EXPECT_EQ(Forms::get<frmmain>().List1->count(), 216);
}

TEST_F(StringsTest, APastedLineBreakIsRefusedAndAHandMadeFileKeepsItsLastLine)
{
    writeBytes("ascii/asc.asc", "no final break");
    addascii& dialog = Forms::get<addascii>();
    dialog.show();
    // A one-line box takes a paste up to its first line break.
    QApplication::clipboard()->setText("two\r\nlines");
    dialog.Text1->setFocus();
    QTest::keyClick(dialog.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dialog.Text1->text(), "two");
    EXPECT_EQ(readBytes("ascii/asc.asc"), "no final break");
    QTest::keyClick(dialog.Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog.Text1, "one");
    click(dialog.Label3);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(readBytes("ascii/asc.asc"), "no final break\r\none\r\n");
}

TEST_F(StringsTest, AnUnwritableStringFileIsReportedAndTheStringStillListed)
{
    addascii& dialog = Forms::get<addascii>();
    dialog.show();
    // The ascii folder is gone: the file cannot be written.
    QDir(path("ascii")).removeRecursively();
    QTest::keyClicks(dialog.Text1, "lost?");
    click(dialog.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(addascii::StringFilePath()));
    EXPECT_TRUE(Forms::get<frmmain>().List1->strings().contains("lost?"));
}

// A string file that is a pipe or a folder: the shop comes up, says once which file it did not
// read, never opens it, and the add-string dialog writes nothing in its place.
class StringFileInTheWay : public StringsTest {
protected:
    void SetUp() override
    {
        StringsTest::SetUp();
        CommonKit::SetSetting("X", "1500");
        CommonKit::SetSetting("Y", "1500");
        QFile::remove(path("ascii/asc.asc"));
    }
    QString stringFile() const { return path("ascii/asc.asc"); }
    mode_t kind() const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(stringFile()).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
    }
    // The user adds a string through the dialog; it is refused with a sentence.
    void addRefused(const QString& entry)
    {
        prompts.messages.clear();
        addascii& dialog = Forms::get<addascii>();
        dialog.show();
        QTest::keyClicks(dialog.Text1, entry);
        click(dialog.Label3);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].text, "The string was not added: " + stringFile()
                                                + " could not be read. It is not a regular file (a folder, a "
                                                  "device or a pipe).");
        EXPECT_FALSE(Forms::get<frmmain>().List1->strings().contains(entry));
    }
    QString toldAtStart() const
    {
        return "The string list holds only its own characters: the string file " + stringFile()
               + " was not read. It is not a regular file (a folder, a device or a pipe).";
    }
};

TEST_F(StringFileInTheWay, APipeIsNeverOpenedAndAWriterWaitingOnItKeepsItsLineForARealReader)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(stringFile()).constData(), 0600), 0);
    // A writer blocks in its open until some reader opens the pipe.
    QProcess writer;
    writer.start("sh", {"-c", "printf 'kept\\r\\n' > \"$0\"", stringFile()});
    ASSERT_TRUE(writer.waitForStarted());
    const QString stat = QStringLiteral("/proc/%1/stat").arg(writer.processId());
    ASSERT_TRUE(TestHelpers::eventually([&] {
        QFile f(stat);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains(") S ");
    }));

    frmmain& main = Forms::get<frmmain>();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, toldAtStart());
    EXPECT_EQ(main.List1->count(), 215) << "the fixed characters only";
    addRefused("refused");

    EXPECT_EQ(writer.state(), QProcess::Running) << "nothing opened the pipe";
    EXPECT_EQ(kind(), mode_t(S_IFIFO));
    const int fd = ::open(QFile::encodeName(stringFile()).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    QByteArray got;
    EXPECT_TRUE(TestHelpers::eventually([&] {
        char buf[64];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            got.append(buf, n);
        return got.endsWith("\r\n");
    }));
    ::close(fd);
    EXPECT_EQ(got, "kept\r\n") << "the writer's line went to the reader that asked for it";
    if (writer.state() != QProcess::NotRunning)
        writer.waitForFinished(5000);
    EXPECT_EQ(writer.exitCode(), 0);
}

TEST_F(StringFileInTheWay, AFolderIsToldAtStartAndLeftWithWhatItHolds)
{
    ASSERT_TRUE(QDir().mkpath(stringFile()));
    writeBytes("ascii/asc.asc/inside.txt", "mine\r\n");
    frmmain& main = Forms::get<frmmain>();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, toldAtStart());
    EXPECT_EQ(main.List1->count(), 215);
    addRefused("refused");
    EXPECT_EQ(kind(), mode_t(S_IFDIR));
    EXPECT_EQ(QDir(stringFile()).entryList(QDir::Files), QStringList{"inside.txt"});
    EXPECT_EQ(readBytes("ascii/asc.asc/inside.txt"), "mine\r\n");
}

TEST_F(StringFileInTheWay, AMissingFileIsNotTold)
{
    frmmain& main = Forms::get<frmmain>();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.List1->count(), 215);
}

TEST_F(StringsTest, AClickOnAnEntryInsertsIntoTheActivePageOnly)
{
    frmmain& main = Forms::get<frmmain>();
    main.show();
    Forms::get<menu2>().PageItem_Click(2);
    main.Text2->setText("ab");
    main.Text2->setCursorPosition(1);
    clickEntry(main.List1, "#");
    EXPECT_EQ(main.Text2->text(), "a#b");
    EXPECT_EQ(main.Text2->cursorPosition(), 2);
    main.SetActivePage(0);
    clickEntry(main.List1, "#");
    EXPECT_EQ(main.Text2->text(), "a#b");
}

TEST_F(StringsTest, AHugeOneLineEntryShowsItsStartButAClickInsertsItWhole)
{
    CommonKit::SetSetting("X", "1500");
    CommonKit::SetSetting("Y", "1500");
    // Two megabytes on one line: the row shows its start, a click inserts the entry.
    const QByteArray huge = "huge" + QByteArray(2 * 1024 * 1024, 'x') + "end";
    writeBytes("ascii/asc.asc", "\r\n" + huge + "\r\n");
    frmmain& main = Forms::get<frmmain>();
    main.show();
    const int row = int(main.List1->strings().indexOf(QString::fromLatin1(huge)));
    ASSERT_GE(row, 0);
    const QModelIndex index = main.List1->model()->index(row, 0);
    const QString shown = index.data(Qt::DisplayRole).toString();
    EXPECT_EQ(shown, QString::fromLatin1(huge.left(StringListModel::ShownCharacters)) + QChar(0x2026));
    EXPECT_EQ(index.data(Qt::AccessibleTextRole).toString(), shown);
    // A short entry shows as it is.
    const QModelIndex hash = main.List1->model()->index(int(main.List1->strings().indexOf("#")), 0);
    EXPECT_EQ(hash.data(Qt::DisplayRole).toString(), "#");
    Forms::get<menu2>().PageItem_Click(1);
    main.Text1->setText(QString());
    // The row in view and painted, then clicked as the user would.
    main.List1->scrollTo(index);
    main.List1->viewport()->repaint();
    clickEntry(main.List1, QString::fromLatin1(huge));
    // The entry, not the row's shortened text, as far as the page holds characters.
    EXPECT_EQ(main.Text1->text(), QString::fromLatin1(huge.left(main.Text1->maxLength())));
    EXPECT_GT(main.Text1->maxLength(), StringListModel::ShownCharacters + 1);
}

// ---- the set-ascii dialog ----

TEST_F(StringsTest, SetAsciiSaysWhatChangedAndWritesTheNewOrnament)
{
    CommonKit::SetSetting("ASCII", "ab");
    frmsetascii& dialog = Forms::get<frmsetascii>();
    dialog.show();
    EXPECT_EQ(dialog.Text1->text(), "ab");
    QTest::keyClick(dialog.Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog.Text1, "cd");
    click(dialog.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "Ascii was changed from ' ab ' to ' cd '  Successfully...");
    EXPECT_EQ(prompts.messages[0].title, "GLY");
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
    EXPECT_EQ(CommonKit::Setting("ASCII"), "cd");
    EXPECT_TRUE(Forms::get<frmmain>().isVisible());
    EXPECT_NE(Forms::loaded<frmsetascii>(), nullptr);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(StringsTest, SetAsciiCancelChangesNothing)
{
    CommonKit::SetSetting("ASCII", "keep");
    frmsetascii& dialog = Forms::get<frmsetascii>();
    dialog.show();
    QTest::keyClicks(dialog.Text1, "more");
    click(dialog.Label4);
    EXPECT_EQ(CommonKit::Setting("ASCII"), "keep");
    EXPECT_EQ(Forms::loaded<frmsetascii>(), nullptr);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// ---- the stored strings ----

class StoredStrings : public StringsTest {
protected:
    frmdraw& shop()
    {
        frmdraw& d = Forms::get<frmdraw>();
        d.show();
        return d;
    }
    void newString()
    {
        frmdraw& d = shop();
        QTest::mousePress(d.Label3, Qt::LeftButton);
        QTest::mouseRelease(d.Label3, Qt::LeftButton);
        mnu2& options = Forms::get<mnu2>();
        ASSERT_TRUE(options.isVisible());
        click(options.Label1[0]);
    }
};

TEST_F(StoredStrings, TheFirstFreeSlotIsFilledWithoutAsking)
{
    storeSlots({"one", "two", "three", "&none", "&none", "&none", "&none", "&none", "&none", "&none", "&none",
                "&none", "&none"});
    prompts.inputs = {"four"};
    newString();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.inputPrompts, QList<QString>{"Enter the string:"});
    EXPECT_EQ(storedSlots()[3], "four");
    EXPECT_EQ(storedSlots()[4], "&none");
    EXPECT_TRUE(Forms::get<frmdraw>().isVisible());
    // F4 in the editor inserts it now.
    frmdraw& d = shop();
    QTest::keyClick(d.Text1, Qt::Key_F4);
    EXPECT_EQ(d.Text1->text(), "four");
}

TEST_F(StoredStrings, WithAllSlotsUsedYesAnd13ReplacesTheEscString)
{
    QStringList used;
    for (int i = 1; i <= 13; ++i)
        used << "s" + QString::number(i);
    used[5] = "&NONE and more"; // counts as used
    storeSlots(used);
    prompts.answers = {Prompts::Answer::Yes};
    prompts.inputs = {"13", "new esc"};
    newString();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              "All String positions are fulfilled.  Would you like to replace a current string?");
    EXPECT_EQ(prompts.inputPrompts,
              (QList<QString>{"Please enter the number of the string to replace:", "Enter the string:"}));
    QStringList expected = used;
    expected[12] = "new esc";
    EXPECT_EQ(storedSlots(), expected);
    frmdraw& d = shop();
    QTest::keyClick(d.Text1, Qt::Key_Escape);
    EXPECT_EQ(d.Text1->text(), "new esc");
}

TEST_F(StoredStrings, AReplaceAnswerThatIsNoSlotNumberIsRefusedAndChangesNothing)
{
    QStringList used;
    for (int i = 1; i <= 13; ++i)
        used << "s" + QString::number(i);
    storeSlots(used);
    for (const char* bad : {"14", "0", "two", "1.5"}) {
        prompts.messages.clear();
        prompts.answers = {Prompts::Answer::Yes};
        prompts.inputs = {bad, "never asked"};
        newString();
        ASSERT_EQ(prompts.messages.size(), 2) << bad;
        EXPECT_TRUE(prompts.messages[1].text.contains("1 (F1) to 13 (Esc)")) << bad;
        EXPECT_EQ(prompts.inputs.size(), 1u) << bad;
        EXPECT_EQ(storedSlots(), used) << bad;
        prompts.inputs.clear();
    }
}

TEST_F(StoredStrings, MenuClicksInsertStringsButNotPlaceholdersOrHints)
{
    storeSlots({"<<", "&NONE and more", "&none", "&none", "&none", "&none", "&none", "&none", "&none", "&none",
                "&none", "&none", "&none"});
    frmdraw& d = shop();
    auto openStrings = [&] {
        QTest::mousePress(d.Label4, Qt::LeftButton);
        QTest::mouseRelease(d.Label4, Qt::LeftButton);
        return &Forms::get<mnu3>();
    };
    mnu3* strings = openStrings();
    ASSERT_TRUE(strings->isVisible());
    click(strings->Label1[0]);
    EXPECT_EQ(d.Text1->text(), "<<");
    EXPECT_FALSE(strings->isVisible());
    for (int index : {1, 2, 17 /* "F5" */, 25 /* "ESC" */}) {
        strings = openStrings();
        ASSERT_TRUE(strings->isVisible());
        click(strings->Label1[index]);
        EXPECT_EQ(d.Text1->text(), "<<") << index;
        EXPECT_FALSE(strings->isVisible()) << index;
    }
    EXPECT_EQ(strings->Label1[17]->caption(), "F5");
    // The keys follow the same rule.
    QTest::keyClick(d.Text1, Qt::Key_F2);
    QTest::keyClick(d.Text1, Qt::Key_F3);
    QTest::keyClick(d.Text1, Qt::Key_F1);
    EXPECT_EQ(d.Text1->text(), "<<<<");
}

// ---- the character maps ----

TEST_F(StringsTest, TheDockedMapInsertsAtTheCaretOncePerDoubleClickAndFollowsTheShop)
{
    frmdraw& d = Forms::get<frmdraw>();
    d.moveTwips(4500, 1500);
    d.show();
    frmasc& map = Forms::get<frmasc>();
    map.show();
    EXPECT_EQ(map.Left() + map.Width(), d.Left());
    EXPECT_EQ(map.Top(), d.Top());
    EXPECT_EQ(map.height(), d.height());
    EXPECT_EQ(map.List1->strings(), StringOrder::CharacterSet());
    d.Text1->setText("ab");
    QTextCursor c = d.Text1->textCursor();
    c.setPosition(1);
    d.Text1->setTextCursor(c);
    clickEntry(map.List1, "v^");
    EXPECT_EQ(d.Text1->text(), "av^b");
    clickEntry(map.List1, "!", true);
    EXPECT_EQ(d.Text1->text(), "av^!b") << "a double click inserts once";
    d.moveTwips(6000, 2250);
    EXPECT_EQ(map.Left() + map.Width(), 6000);
    EXPECT_EQ(map.Top(), 2250);
}

TEST_F(StringsTest, TheFloatingMapKeepsTheGivenOrderAndHidesOnATitleDoubleClick)
{
    frmchr& map = Forms::get<frmchr>();
    map.show();
    EXPECT_EQ(map.Left(), 0);
    EXPECT_EQ(map.Top(), 0);
    EXPECT_EQ(map.List1->strings(), StringOrder::CharacterSet());
    clickEntry(map.List1, "(\\/)");
    EXPECT_EQ(Forms::get<frmdraw>().Text1->text(), "(\\/)");
    QTest::mouseDClick(map.Label1, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmchr>(), nullptr);
}
