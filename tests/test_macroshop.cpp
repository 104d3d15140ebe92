#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "chat/chatops.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/startup.h"
#include "editor/frmasc.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "editor/pages.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/macroshop.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "effects/applyfilter.h"
#include "macroshop/scrolllines.h"
#include "platform/chatbus.h"
#include "platform/printer.h"
#include "platform/userstore.h"
#include "skin/pushlabel.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <csignal>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

const QByteArray kSuffix = " <font face=\"Arial\">\xa0";
const QByteArray kIncoming = "<font color=\"#C0C0C0\"><font face=\"arial\">  | <b>q</b>uorl <b>a</b>scii <b>s</b>hop "
                             "\xb9\xb7\xb9 | <b>INCOMING!</b> | beta 4.1 |";

QList<QByteArray> messages(const ChatClientLauncher& client)
{
    QList<QByteArray> out;
    for (const auto& line : client.transcript())
        out << line.bytes;
    return out;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// A press on a caption label, as a user opens a menu.
void press(QWidget* w)
{
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start("pdftotext", {"-layout", file, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class MacroShopTest : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
    }
    void TearDown() override
    {
        Startup::SetCommandLine({});
        Printer::install(nullptr);
        ShopTest::TearDown();
    }
    frmdraw& shop()
    {
        frmdraw& d = Forms::get<frmdraw>();
        d.show();
        return d;
    }
    // Opens a caption menu of the macro shop with a press and clicks one of its items.
    void files(int index)
    {
        // Print leaves the menu open; a press would close it again.
        if (auto* open = Forms::loaded<mnu1>(); !open || !open->isVisible())
            press(shop().Label2);
        mnu1& m = Forms::get<mnu1>();
        ASSERT_TRUE(m.isVisible());
        click(m.Label1[index]);
    }
    void options(int index)
    {
        press(shop().Label3);
        mnu2& m = Forms::get<mnu2>();
        ASSERT_TRUE(m.isVisible());
        click(m.Label1[index]);
    }
    QString mru(const QString& value) { return UserStore::GetSetting("GLY", "MRU", value); }
};

// ---- macro files and the recent files ----

TEST_F(MacroShopTest, SavingAndOpeningAgainAddsOneLineBreak)
{
    frmdraw& d = shop();
    d.Text1->setText("top\r\nbottom");
    prompts.fileNames = {path("mine.mcr")};
    files(1);
    EXPECT_EQ(readBytes("mine.mcr"), "top\r\nbottom\r\n");
    EXPECT_EQ(d.Text1->Tag, path("mine.mcr"));
    EXPECT_EQ(mru("File1"), path("mine.mcr"));
    EXPECT_EQ(mru("Description1"), "mine.mcr");
    prompts.fileNames = {path("mine.mcr")};
    files(0);
    EXPECT_EQ(d.Text1->text(), "top\r\nbottom\r\n");
    files(1);
    EXPECT_EQ(readBytes("mine.mcr"), "top\r\nbottom\r\n\r\n");
}

TEST_F(MacroShopTest, ANameWithoutASuffixIsSavedAsAMacroFileTheOpenDialogShows)
{
    frmdraw& d = shop();
    d.Text1->setText("art");
    prompts.fileNames = {path("noext")};
    files(1);
    EXPECT_FALSE(QFile::exists(path("noext")));
    EXPECT_EQ(readBytes("noext.mcr"), "art\r\n");
    EXPECT_EQ(d.Text1->Tag, path("noext.mcr"));
    EXPECT_EQ(mru("File1"), path("noext.mcr"));
    // The next save goes to the same file without asking.
    d.Text1->setText("more art");
    files(1);
    EXPECT_EQ(readBytes("noext.mcr"), "more art\r\n");
    EXPECT_TRUE(prompts.fileNames.empty());

    // A trailing dot is no suffix; a name with its own suffix, or a dot only in a folder, is kept.
    for (const auto& [typed, written] : {std::pair<QString, QString>{"tune.", "tune.mcr"}, {"art.txt", "art.txt"},
                                         {"my.folder/piece", "my.folder/piece.mcr"}}) {
        SCOPED_TRACE(typed.toStdString());
        QDir().mkpath(path("my.folder"));
        files(9); // new macro
        d.Text1->setText("x");
        prompts.fileNames = {path(typed)};
        files(1);
        EXPECT_EQ(readBytes(written), "x\r\n");
        EXPECT_EQ(d.Text1->Tag, path(written));
    }
}

TEST_F(MacroShopTest, ASaveThatAddsMcrAsksBeforeReplacingThatFile)
{
    frmdraw& d = shop();
    d.Text1->setText("new");
    writeBytes("mymac.mcr", "old\r\n");
    prompts.fileNames = {path("mymac.")};
    prompts.answers = {Prompts::Answer::No};
    files(1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "mymac.mcr already exists.\nDo you want to replace it?");
    EXPECT_EQ(readBytes("mymac.mcr"), "old\r\n");
    EXPECT_EQ(d.Text1->Tag, "") << "no file became the macro's";
    EXPECT_EQ(mru("File1"), "");
    prompts.messages.clear();
    prompts.fileNames = {path("mymac")};
    prompts.answers = {Prompts::Answer::Yes};
    files(1);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(readBytes("mymac.mcr"), "new\r\n");
    EXPECT_EQ(d.Text1->Tag, path("mymac.mcr"));

    // A pipe is never replaced by a file.
    files(9); // new macro
    d.Text1->setText("x");
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.mcr")).constData(), 0600), 0);
    prompts.messages.clear();
    prompts.fileNames = {path("pipe")};
    prompts.answers = {Prompts::Answer::Yes};
    files(1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(path("pipe.mcr") + " is not a plain file"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path("pipe.mcr")).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(d.Text1->Tag, "");
}

TEST_F(MacroShopTest, OpeningOneFileTwiceGivesTwoEqualRecentEntries)
{
    writeBytes("a.mcr", "x\r\n");
    prompts.fileNames = {path("a.mcr"), path("a.mcr")};
    files(0);
    files(0);
    EXPECT_EQ(mru("File1"), path("a.mcr"));
    EXPECT_EQ(mru("File2"), path("a.mcr"));
    EXPECT_EQ(mru("Description2"), "a.mcr");
    EXPECT_EQ(mru("File3"), "");
    mnu1& m = Forms::get<mnu1>();
    EXPECT_EQ(m.Label1[3]->caption(), "a.mcr");
    EXPECT_EQ(m.Label1[4]->caption(), "a.mcr");
    // A recent item opens its file and makes it the current file.
    shop().Text1->clear();
    shop().Text1->Tag.clear();
    files(4);
    EXPECT_EQ(shop().Text1->text(), "x\r\n");
    EXPECT_EQ(shop().Text1->Tag, path("a.mcr"));
}

TEST_F(MacroShopTest, NewMacroThenSaveAsksForANameAndCancellingWritesNothing)
{
    writeBytes("a.mcr", "x\r\n");
    prompts.fileNames = {path("a.mcr")};
    files(0);
    files(9);
    EXPECT_EQ(shop().Text1->text(), "");
    EXPECT_EQ(shop().Text1->Tag, "");
    shop().Text1->setText("new art");
    files(1); // the save dialog is asked and cancelled
    EXPECT_TRUE(prompts.fileNames.empty());
    EXPECT_EQ(readBytes("a.mcr"), "x\r\n");
    EXPECT_EQ(shop().Text1->text(), "new art");
}

TEST_F(MacroShopTest, ASaveThatCannotBeWrittenSaysWhichFileAndKeepsTheText)
{
    // "locked" is a file, so no folder of that name can take the macro.
    writeBytes("locked", "in the way");
    shop().Text1->setText("precious");
    prompts.fileNames = {path("locked/art.mcr")};
    files(1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains(path("locked/art.mcr")));
    EXPECT_EQ(shop().Text1->text(), "precious");
    EXPECT_EQ(readBytes("locked"), "in the way");
}

TEST_F(MacroShopTest, AFifoOrAHugeFileIsRefusedWithAMessageAndTheEditorKept)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.mcr")).constData(), 0600), 0);
    {
        QFile big(path("big.mcr"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(17 * 1024 * 1024));
    }
    shop().Text1->setText("kept");
    prompts.fileNames = {path("pipe.mcr"), path("big.mcr")};
    files(0);
    files(0);
    // The unsaved text is asked about first (unanswered: No), then each file is refused.
    ASSERT_EQ(prompts.messages.size(), 4);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("save the macro?"));
    EXPECT_TRUE(prompts.messages[1].text.contains("pipe.mcr"));
    EXPECT_TRUE(prompts.messages[3].text.contains("big.mcr"));
    EXPECT_EQ(shop().Text1->text(), "kept");
    EXPECT_EQ(mru("File1"), "");
}

// ---- the built-in macros ----

TEST_F(MacroShopTest, EveryBuiltInMacroShipsWithTenToFortyLinesAndLoadsWithoutChangingTheFile)
{
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/macros"), path("macros"));
    for (int i = 0; i < mnu18::kCount; ++i) {
        QString name = mnu18::Caption(i).mid(1);
        const QByteArray bytes = readBytes("macros/" + name + ".mcr");
        const int lines = int(bytes.count("\r\n"));
        EXPECT_GE(lines, 10) << name.toStdString();
        EXPECT_LE(lines, 40) << name.toStdString();
        EXPECT_EQ(bytes.count('\n'), lines) << name.toStdString() << " has a bare line feed";
    }
    writeBytes("x.mcr", "mine\r\n");
    prompts.fileNames = {path("x.mcr")};
    files(0);
    options(7);
    mnu18& list = Forms::get<mnu18>();
    ASSERT_TRUE(list.isVisible());
    EXPECT_TRUE(Forms::get<mnu2>().isVisible()) << "the Options menu stays open beside its list";
    click(list.Label1[13]);
    EXPECT_EQ(shop().Text1->text().toLatin1(), readBytes("macros/frog.mcr").left(shop().Text1->text().size()));
    EXPECT_EQ(shop().Text1->Tag, path("x.mcr"));
    EXPECT_FALSE(list.isVisible());
    EXPECT_FALSE(Forms::get<mnu2>().isVisible());
    // A missing file changes nothing.
    QFile::remove(path("macros/gohan.mcr"));
    const QString before = shop().Text1->text();
    options(7);
    click(Forms::get<mnu18>().Label1[15]);
    EXPECT_EQ(shop().Text1->text(), before);
}

// ---- mailing the macro ----

TEST_F(MacroShopTest, EmailMacrosAsksForTheAddressAndGivesUpQuietlyWhenCancelled)
{
    frmdraw& d = shop();
    d.Text1->setPlainText("a\nb");
    options(10);
    ASSERT_FALSE(prompts.inputPrompts.isEmpty());
    EXPECT_TRUE(prompts.inputPrompts[0].startsWith("Please enter email address"));
    EXPECT_TRUE(d.isVisible()) << "the macro shop comes back after the questions";
    EXPECT_EQ(d.Text1->toPlainText(), "a\nb");
}

TEST_F(MacroShopTest, TheFiltersLabelFiltersTheMacroInTheEditor)
{
    writeBytes("Filters/a.FLT", "Stars: number signs to stars\r\n#!>*\r\n");
    frmdraw& d = shop();
    d.Text1->setPlainText("a#\nb#");
    click(d.Label10);
    applyfilter* chooser = Forms::loaded<applyfilter>();
    ASSERT_NE(chooser, nullptr);
    click(chooser->Label3);
    EXPECT_EQ(d.Text1->toPlainText(), "a*\nb*");
}

namespace {
// The most this process has held in memory, from the kernel's own count.
qint64 peakResidentKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QByteArray doublingFilter(const QByteArray& name, int rules)
{
    QByteArray out = name + ": every a doubled\r\n";
    for (int i = 0; i < rules; ++i)
        out += "a!>aa\r\n";
    return out;
}
} // namespace

TEST_F(MacroShopTest, AFilterThatWouldFillTheMemoryStopsAtTheMacroLimit)
{
    writeBytes("Filters/a.FLT", doublingFilter("Sixteen", 16));
    writeBytes("Filters/b.FLT", doublingFilter("Forty", 40));
    frmdraw& d = shop();
    d.Text1->setPlainText("a");
    click(d.Label10);
    applyfilter* chooser = Forms::loaded<applyfilter>();
    ASSERT_NE(chooser, nullptr);
    QTreeWidget* list = chooser->Filters;
    ASSERT_EQ(list->topLevelItemCount(), 2);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(1)).center());
    click(chooser->Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString text = prompts.messages[0].text;
    EXPECT_TRUE(text.startsWith("An error occurred when applying the filter.\n\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("rule on line 25 (a!>aa)")) << text.toStdString();
    EXPECT_EQ(d.Text1->toPlainText(), "a") << "the macro is left as it was";
    EXPECT_FALSE(d.Text1->document()->isUndoAvailable()) << "nothing was written to the editor";
    const qint64 peak = peakResidentKb();
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak, 200 * 1024) << "peak resident memory " << peak << " KB";

    // A filter that stays within the limit still applies, in the same chooser.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    click(chooser->Label3);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].text, "Filter applied successfully");
    EXPECT_EQ(d.Text1->toPlainText(), QString(1 << 16, u'a'));
}

// ---- the title strip it shares with the main window ----

TEST_F(MacroShopTest, TheCaptionsToggleAndSwitchTheirMenusAndTheTitleCarriesTheShop)
{
    frmdraw& d = shop();
    press(d.Label2);
    mnu1& files = Forms::get<mnu1>();
    EXPECT_TRUE(files.isVisible());
    press(d.Label2);
    EXPECT_FALSE(files.isVisible()) << "a second press closes the menu";

    // With one menu open, moving onto another caption opens that one instead.
    press(d.Label2);
    QTest::mouseMove(d.windowHandle(), d.Label3->geometry().center());
    EXPECT_FALSE(files.isVisible());
    EXPECT_TRUE(Forms::get<mnu2>().isVisible());
    press(d.Label3);
    EXPECT_FALSE(Forms::get<mnu2>().isVisible());
    // Without an open menu, passing over a caption opens nothing.
    QTest::mouseMove(d.windowHandle(), d.Label2->geometry().center());
    EXPECT_FALSE(files.isVisible());

    // The title drag moves the shop by the pointer's travel, and the release ends it.
    const QPoint before = d.pos();
    QTest::mousePress(d.Label1, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseMove(d.Label1, QPoint(130, 25));
    QTest::mouseRelease(d.Label1, Qt::LeftButton, {}, QPoint(130, 25));
    EXPECT_EQ(d.pos(), before + QPoint(30, 20));
    QTest::mouseMove(d.Label1, QPoint(160, 45));
    EXPECT_EQ(d.pos(), before + QPoint(30, 20)) << "no drag after the release";
}

// ---- widen form ----

TEST_F(MacroShopTest, WidenAndNormalSizeToggleTheCaptionAndTheLayout)
{
    frmdraw& d = shop();
    options(1);
    EXPECT_TRUE(d.isWide());
    EXPECT_EQ(Forms::get<mnu2>().Label1[1]->caption(), "&normal size");
    // The designed wide margins (7185 and 7260 twips at 7500) kept at the skin picture's width.
    EXPECT_EQ(d.Text1->width(), d.width() - 21); // 315 twips
    EXPECT_EQ(d.Label7->x(), d.width() - 16);    // 240 twips
    EXPECT_GT(d.width(), 362);
    options(1);
    EXPECT_FALSE(d.isWide());
    EXPECT_EQ(Forms::get<mnu2>().Label1[1]->caption(), "&widen form by 30%");
    EXPECT_EQ(d.width(), 362); // 5430 twips
    EXPECT_EQ(d.Text1->width(), 325);
}

// ---- printing ----

TEST_F(MacroShopTest, TwoCopiesAreTwoPrintJobsWithTheirOwnPageFooters)
{
    QDir().mkpath(path("prints"));
    Printer::SystemPrinter pdf(path("prints"), true);
    Printer::install(&pdf);
    shop().Text1->setText("/\\_/\\\r\n( o.o )");
    prompts.inputs = {"2", "10"};
    files(8);
    EXPECT_EQ(prompts.inputPrompts,
              (QList<QString>{"Please enter the amount of copies you would like to print.",
                              "Please enter the Font Size you would like to print your macro on."}));
    EXPECT_TRUE(shop().isVisible());
    const QStringList pdfs = QDir(path("prints")).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pdfs.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString text = pdfText(path("prints/") + pdfs[i]).trimmed();
        EXPECT_TRUE(text.contains("( o.o )")) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("Page %1 of 2").arg(i + 1))) << text.toStdString();
        EXPECT_TRUE(text.contains("Quorl Ascii Shop 1.1")) << text.toStdString();
    }
}

TEST_F(MacroShopTest, PrintAnswersThatAreNoWholeNumbersAreRefusedAndNothingPrints)
{
    QDir().mkpath(path("prints"));
    Printer::SystemPrinter pdf(path("prints"), true);
    Printer::install(&pdf);
    shop().Text1->setText("art");
    for (const auto& answers : {QList<QString>{"two", "10"}, QList<QString>{"0", "10"}, QList<QString>{"1", "big"},
                                QList<QString>{"1.5", "12"}}) {
        prompts.messages.clear();
        prompts.inputs = {answers[0], answers[1]};
        files(8);
        ASSERT_EQ(prompts.messages.size(), 1) << answers[0].toStdString();
        EXPECT_EQ(prompts.messages[0].title, "Print");
    }
    prompts.messages.clear();
    prompts.inputs = {"1", ""}; // cancelled: no message
    files(8);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(QDir(path("prints")).entryList({"*.pdf"}, QDir::Files).isEmpty());
}

TEST_F(MacroShopTest, APrintWithoutAPrinterSaysWhereEachPdfWent)
{
    QDir().mkpath(path("prints"));
    Printer::SystemPrinter pdf(path("prints"), true);
    Printer::install(&pdf);
    shop().Text1->setText("art");
    prompts.inputs = {"1", "12"};
    files(8);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              "There is no printer, so the macro went to the PDF file:\n" + path("prints/macro print 1.pdf"));
    EXPECT_EQ(prompts.messages[0].title, "Print");
    EXPECT_TRUE(QFile::exists(path("prints/macro print 1.pdf")));

    // Two more copies: the next free names, both told.
    prompts.messages.clear();
    prompts.inputs = {"2", "12"};
    files(8);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "There is no printer, so the copies went to the PDF files:\n" +
                                            path("prints/macro print 2.pdf") + "\n" + path("prints/macro print 3.pdf"));
    EXPECT_TRUE(QFile::exists(path("prints/macro print 3.pdf")));
}

TEST_F(MacroShopTest, ManyPrintedCopiesAreToldInAFewLines)
{
    QDir().mkpath(path("prints"));
    Printer::SystemPrinter pdf(path("prints"), true);
    Printer::install(&pdf);
    shop().Text1->setText("art");
    prompts.inputs = {"7", "12"};
    files(8);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "There is no printer, so the copies went to the PDF files in " + path("prints") +
                                            ":\nmacro print 1.pdf\nmacro print 2.pdf\nmacro print 3.pdf\n"
                                            "macro print 4.pdf\nmacro print 5.pdf\nand 2 more.");
    EXPECT_EQ(QDir(path("prints")).entryList({"*.pdf"}, QDir::Files).size(), 7);
    for (const QString& f : QDir(path("prints")).entryList({"*.pdf"}, QDir::Files))
        EXPECT_TRUE(Printer::WholePdf(path("prints/") + f)) << f.toStdString();
}

TEST_F(MacroShopTest, APrintIntoAFolderThatCannotBeWrittenSaysTheFileCouldNotBeWritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a folder without write permission";
    QDir().mkpath(path("prints"));
    QFile::setPermissions(path("prints"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    Printer::SystemPrinter pdf(path("prints"), true);
    Printer::install(&pdf);
    prompts.inputs = {"1", "12"};
    files(8);
    QFile::setPermissions(path("prints"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_FALSE(prompts.messages[0].text.contains("printer " + path("prints")));
    EXPECT_TRUE(prompts.messages[0].text.contains("The PDF file " + path("prints/macro print 1.pdf") + " could not be written"));
}

TEST_F(MacroShopTest, APrintWithoutAnyPlaceToGoSaysSo)
{
    Printer::SystemPrinter pdf(path("no such folder"), true);
    Printer::install(&pdf);
    prompts.inputs = {"1", "12"};
    files(8);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains("no such folder"));
}

// ---- line pause ----

TEST_F(MacroShopTest, LinePauseMeasuresFromTheRoundedSecond)
{
    clock.now = 43200.3;
    CommonKit::LinePause(0.07);
    EXPECT_TRUE(clock.waits.isEmpty()) << "0.3 s after a whole second it returns at once";
    clock.now = 43200.6;
    CommonKit::LinePause(0.07);
    EXPECT_NEAR(clock.now, 43201.07, 1e-9);
    // Halves go to the even second: 2.5 rounds to 2, so 0.2 s more are already past.
    clock.waits.clear();
    clock.now = 43202.5;
    CommonKit::LinePause(0.4);
    EXPECT_TRUE(clock.waits.isEmpty());
    clock.now = 43203.5;
    CommonKit::LinePause(0.4);
    EXPECT_NEAR(clock.now, 43204.4, 1e-9);
    // Across midnight it still ends.
    clock.now = 86399.7;
    CommonKit::LinePause(0.5);
    EXPECT_NEAR(clock.now, 0.5, 1e-6);
}

// ---- scrolling at the stand-in chat client ----

class MacroScroll : public MacroShopTest {};

TEST_F(MacroScroll, TwoLinesArriveAfterTheIncomingBannerEachWithTheSuffix)
{
    ChatClientLauncher client;
    START(client);
    shop().Text1->setText("a\r\nb");
    clock.now = 43200.0;
    options(3);
    EXPECT_EQ(messages(client), (QList<QByteArray>{kIncoming, "a" + kSuffix, "b" + kSuffix}));
    ASSERT_FALSE(clock.waits.isEmpty());
    EXPECT_EQ(clock.waits.first(), 3.0);
    // The last wait is the 0.5 s after the last line, counted from the rounded second.
    EXPECT_NEAR(clock.now, 43203.5, 1e-9);
    EXPECT_TRUE(shop().isVisible());
}

TEST_F(MacroScroll, AnEmptyMacroSendsTheBannerAndOneBlankLine)
{
    ChatClientLauncher client;
    START(client);
    shop().Text1->clear();
    options(4);
    EXPECT_EQ(messages(client), (QList<QByteArray>{kIncoming, kSuffix}));
    EXPECT_EQ(clock.waits.first(), 0.6);
}

TEST_F(MacroScroll, LoneLineFeedsAndCarriageReturnsEndLinesWithoutLosingACharacter)
{
    ChatClientLauncher client;
    START(client);
    CommonKit::ScrollLines("one\ntwo\rthree\r\nfour\n", 0.2, 0.02, 14);
    EXPECT_EQ(messages(client),
              (QList<QByteArray>{"one" + kSuffix, "two" + kSuffix, "three" + kSuffix, "four" + kSuffix}));
}

TEST_F(MacroScroll, NineLinesAtFourPerBlockPauseAfterLinesFourAndEightOnly)
{
    ChatClientLauncher client;
    START(client);
    // Records how many lines had arrived at every long wait.
    struct CountingClock : FakeClock {
        ChatClientLauncher* client = nullptr;
        QList<int> sentAtBlockPause;
        void wait(double seconds) override
        {
            if (seconds >= 1)
                sentAtBlockPause << int(client->transcript().size());
            FakeClock::wait(seconds);
        }
    } counting;
    counting.client = &client;
    counting.now = 43200.0;
    Clock::install(&counting);
    CommonKit::ScrollLines("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9", 3.4, 0.07, 4);
    Clock::install(&clock);
    EXPECT_EQ(counting.sentAtBlockPause, (QList<int>{4, 8}));
    EXPECT_EQ(client.transcript().size(), 9);
}

TEST_F(MacroScroll, TheOrdinaryPaceOfFortyLinesLastsWhatItsPausesAddUpTo)
{
    ChatClientLauncher client;
    START(client);
    QString macro;
    for (int i = 1; i <= 40; ++i)
        macro += QStringLiteral("line %1\r\n").arg(i);
    shop().Text1->setText(macro.chopped(2));
    clock.now = 43200.0;
    options(3);
    // From a whole second: 3 s, the first line 0.07 s, the first block to 3.4 s after its
    // rounded second (3.33 s), nine more blocks from .4 to .4 (3 s each), the last 0.1 s to .5.
    const double expected = 3 + 0.07 + 3.33 + 9 * 3 + 0.1;
    EXPECT_NEAR(clock.now - 43200.0, expected, expected * 0.02);
    EXPECT_EQ(client.transcript().size(), 41);
}

// ---- opening and closing ----

// A client that answers late, is killed or is stopped mid-scroll: every line that goes arrives in
// order, and a scroll that cannot go on ends with one sentence that says how far it got.
class LateClientScroll : public MacroScroll {
protected:
    // Scrolls the macro with "&scroll macro"; once line `at` of the macro has arrived, the
    // client is dealt with, at the turn of the event loop that follows each line.
    void scrollAndAt(ChatClientLauncher& client, int lines, int at, const std::function<void()>& deal)
    {
        QString macro;
        for (int n = 1; n <= lines; ++n)
            macro += QStringLiteral("line %1\r\n").arg(n);
        shop().Text1->setText(macro);
        struct HookClock : FakeClock {
            std::function<void()> onEvents;
            void processEvents() override
            {
                onEvents();
                FakeClock::processEvents();
            }
        } hooked;
        bool dealt = false;
        hooked.onEvents = [&] {
            if (!dealt && client.transcript().size() >= 1 + at) {
                dealt = true;
                deal();
            }
        };
        Clock::install(&hooked);
        options(3);
        Clock::install(&clock);
        ASSERT_TRUE(dealt);
    }
    static QList<QByteArray> firstLines(int count)
    {
        QList<QByteArray> out{kIncoming};
        for (int n = 1; n <= count; ++n)
            out << "line " + QByteArray::number(n) + kSuffix;
        return out;
    }
    QStringList told() const
    {
        QStringList out;
        for (const auto& m : prompts.messages)
            out << m.text;
        return out;
    }
};

TEST_F(LateClientScroll, AClientAnsweringEveryCallLateGetsTheBannerAndEveryLineAndNothingIsSaid)
{
    ChatClientLauncher client({QStringLiteral("--delay"), QStringLiteral("1500")});
    START(client);
    shop().Text1->setText("one\r\ntwo");
    options(3);
    EXPECT_EQ(messages(client), (QList<QByteArray>{kIncoming, "one" + kSuffix, "two" + kSuffix}));
    EXPECT_TRUE(told().isEmpty()) << told().join('\n').toStdString();
    ASSERT_FALSE(clock.waits.isEmpty());
    EXPECT_EQ(clock.waits.first(), 3.0) << "the design's pause after the banner";
}

TEST_F(LateClientScroll, AClientKilledMidScrollEndsItWithOneSentenceAfterTheLinesThatWent)
{
    ChatClientLauncher client;
    START(client);
    scrollAndAt(client, 12, 3, [&] {
        ::kill(pid_t(client.processId()), SIGKILL);
        // Gone from the bus, not only signalled: the next line meets a client that is gone.
        EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::ClientOwner().isEmpty(); }));
    });
    EXPECT_EQ(messages(client), firstLines(3));
    EXPECT_EQ(told(), QStringList{"The macro scroll stopped after 3 of 12 lines: the chat client went away, and the "
                                  "rest of the macro was not sent."});
}

TEST_F(LateClientScroll, AClientStoppedMidScrollEndsItWithOneSentenceAndNoLineFollowsLater)
{
    ChatClientLauncher client;
    START(client);
    scrollAndAt(client, 9, 5, [&] { client.freeze(); });
    EXPECT_EQ(told(), QStringList{"The macro scroll stopped after 5 of 9 lines: the chat client is stopped and does "
                                  "not answer, and the rest of the macro was not sent."});
    client.thaw();
    // Once it answers again it has done what it was asked while stopped: no line was asked.
    EXPECT_NE(CommonKit::FindMainFrame(), 0u);
    EXPECT_EQ(messages(client), firstLines(5));
}

TEST_F(LateClientScroll, AClientReplacedMidScrollEndsItAndTheNewOneGetsNoLine)
{
    ChatClientLauncher client;
    ChatClientLauncher other;
    START(client);
    scrollAndAt(client, 12, 3, [&] {
        ::kill(pid_t(client.processId()), SIGKILL);
        EXPECT_TRUE(TestHelpers::eventually([] { return ChatBus::ClientOwner().isEmpty(); }));
        // Another process takes the name between two lines, with a room of its own open.
        ASSERT_TRUE(other.start()) << other.error().toStdString();
    });
    EXPECT_EQ(messages(client), firstLines(3));
    EXPECT_TRUE(other.transcript().isEmpty()) << "no line went to a client the scroll did not begin with";
    EXPECT_EQ(told(), QStringList{"The macro scroll stopped after 3 of 12 lines: the chat client was replaced by "
                                  "another one, and the rest of the macro was not sent."});
}

TEST_F(LateClientScroll, ARoomClosedMidScrollEndsItWithOneSentence)
{
    ChatClientLauncher client;
    START(client);
    scrollAndAt(client, 8, 4, [&] {
        const ChatBus::HWND room = CommonKit::FindChatRoom();
        ASSERT_NE(room, 0u);
        ChatBus::SendMessageA(room, 0x0010, 0, 0); // WM_CLOSE, as the user closes the room
        ASSERT_EQ(CommonKit::FindChatRoom(), 0u);
    });
    EXPECT_EQ(messages(client), firstLines(4));
    EXPECT_EQ(told(), QStringList{"The macro scroll stopped after 4 of 8 lines: no chat room was open in the chat "
                                  "client, and the rest of the macro was not sent."});
    EXPECT_NE(CommonKit::FindMainFrame(), 0u) << "the client itself stays";
}

// Stopped after it took a line's text and before it took the Enter: the line stands in the input
// box, and the sentence names it; once the client goes on, that line (and no other) is posted.
TEST_F(LateClientScroll, AClientStoppedBetweenALinesTextAndItsEnterIsToldTheLineMayStandInTheInputBox)
{
    ChatClientLauncher client({QStringLiteral("--delay"), QStringLiteral("300")});
    START(client);
    quint64 base = 0;
    bool frozen = false;
    QTimer watch;
    watch.setInterval(0);
    // After the text of the next line (the kept room's check, then the text) comes its Enter:
    // the client is stopped while it is still asleep over that Enter.
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!frozen && ChatBus::CallsAnswered() >= base + 2) {
            frozen = true;
            client.freeze();
        }
    });
    scrollAndAt(client, 4, 2, [&] {
        base = ChatBus::CallsAnswered();
        watch.start();
    });
    watch.stop();
    ASSERT_TRUE(frozen);
    EXPECT_EQ(messages(client), firstLines(2));
    EXPECT_EQ(told(), QStringList{"The macro scroll stopped after 2 of 4 lines: the chat client is stopped and does "
                                  "not answer, and the rest of the macro was not sent. Line 3 may have reached the "
                                  "chat room's input box without being sent."});
    client.thaw();
    EXPECT_NE(CommonKit::FindMainFrame(), 0u);
    EXPECT_EQ(messages(client), firstLines(3)) << "the Enter it held posts line 3, and only it";
}

TEST_F(LateClientScroll, WithoutAClientTheScrollSaysNothing)
{
    shop().Text1->setText("one\r\ntwo");
    options(3);
    EXPECT_TRUE(told().isEmpty()) << told().join('\n').toStdString();
}

TEST_F(MacroScroll, ThePanelButtonSendsTheLoadBannerThenShowsTheShopWithItsMap)
{
    ChatClientLauncher client;
    START(client);
    click(Forms::get<ops>().Label3);
    ASSERT_EQ(client.transcript().size(), 1);
    EXPECT_TRUE(client.transcript()[0].bytes.endsWith("<b>m</b>acro <b>s</b>hop | <b>l</b>oad |"));
    ASSERT_NE(Forms::loaded<frmdraw>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmdraw>()->isVisible());
    ASSERT_NE(Forms::loaded<frmasc>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmasc>()->isVisible());
}

TEST_F(MacroScroll, TheOptionsMenuItemOpensTheShopAndThenSendsTheBanner)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = Forms::get<frmmain>();
    main.show();
    main.Timer8->stop();
    press(main.Label3);
    menu2& m = Forms::get<menu2>();
    ASSERT_TRUE(m.isVisible());
    click(m.item("&macros shop"));
    EXPECT_FALSE(m.isVisible());
    EXPECT_TRUE(Forms::get<frmdraw>().isVisible());
    EXPECT_EQ(client.transcript().size(), 1);
}

TEST_F(MacroScroll, TheCloseButtonRegroupsSendsTheUnloadBannerAndUnloadsBoth)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = Forms::get<frmmain>();
    main.show();
    main.Timer8->stop();
    MacroShop::Show();
    Forms::get<frmrect>().show();
    QTest::mouseClick(Forms::get<frmdraw>().Label7, Qt::RightButton);
    EXPECT_NE(Forms::loaded<frmdraw>(), nullptr) << "the right button does not close";
    click(Forms::get<frmdraw>().Label7);
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmdraw>(), nullptr);
    EXPECT_EQ(Forms::loaded<frmasc>(), nullptr);
    EXPECT_EQ(Forms::loaded<mnu2>(), nullptr);
    ASSERT_EQ(client.transcript().size(), 1);
    EXPECT_TRUE(client.transcript()[0].bytes.endsWith("<b>m</b>acro <b>s</b>hop | <b>u</b>nload |"));
    EXPECT_EQ(clock.waits, QList<double>{0.1});
    EXPECT_TRUE(Forms::get<frmmain>().isVisible());
}

TEST_F(MacroScroll, AFilterChooserOpenedBeforeTheShopWasClosedFiltersTheShopOpenNow)
{
    ChatClientLauncher client;
    START(client);
    writeBytes("Filters/a.FLT", "Stars: number signs to stars\r\n#!>*\r\n");
    frmmain& main = Forms::get<frmmain>();
    main.show();
    main.Timer8->stop();
    Forms::get<frmrect>().show();
    click(Forms::get<ops>().Label3);
    click(Forms::get<frmdraw>().Label10);
    applyfilter* chooser = Forms::loaded<applyfilter>();
    ASSERT_NE(chooser, nullptr);
    click(Forms::get<frmdraw>().Label7);
    QCoreApplication::processEvents();
    ASSERT_EQ(Forms::loaded<frmdraw>(), nullptr);

    // With the shop closed, Ok says so and changes nothing.
    click(chooser->Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.contains("the macro shop is closed"));

    // Opened again, the shop is a new window; the chooser filters it.
    click(Forms::get<ops>().Label3);
    frmdraw& again = Forms::get<frmdraw>();
    again.Text1->setPlainText("a#\nb#");
    ASSERT_EQ(Forms::loaded<applyfilter>(), chooser);
    click(chooser->Label3);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].text, "Filter applied successfully");
    EXPECT_EQ(again.Text1->toPlainText(), "a*\nb*");
}

TEST_F(MacroShopTest, TheDockedMapLeavesWithTheMinimizedShopAndComesBackBesideIt)
{
    MacroShop::Show();
    frmdraw& d = Forms::get<frmdraw>();
    frmasc& map = Forms::get<frmasc>();
    ASSERT_TRUE(map.isVisible());
    auto docked = [&] { return map.x() + map.width() == d.x() && map.y() == d.y(); };

    // The shop's own minimize button.
    click(d.Label9);
    EXPECT_TRUE(d.isMinimized());
    EXPECT_FALSE(map.isVisible());
    d.showNormal(); // the window manager's restore
    EXPECT_TRUE(map.isVisible());
    EXPECT_TRUE(docked());

    // The Files menu's "&minimize", after the shop was moved by its title.
    QTest::mousePress(d.Label1, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseMove(d.Label1, QPoint(140, 45));
    QTest::mouseRelease(d.Label1, Qt::LeftButton, {}, QPoint(140, 45));
    files(6);
    EXPECT_TRUE(d.isMinimized());
    EXPECT_FALSE(map.isVisible());
    d.showNormal();
    EXPECT_TRUE(map.isVisible());
    EXPECT_TRUE(docked());

    // The window manager's minimize (its task bar, a key) takes the map away too.
    d.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(map.isVisible());
    d.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(map.isVisible());

    // A map the user had not shown stays away on restore.
    map.hide();
    click(d.Label9);
    d.showNormal();
    EXPECT_FALSE(map.isVisible());
}

// ---- the command line ----

// ShopTest::launch starts as the program does with the command line given.
class CommandLine : public MacroShopTest {};

TEST_F(CommandLine, AMacroFileInAFolderWithADotOpensTheMacroShop)
{
    QDir().mkpath(path("some.dir"));
    writeBytes("some.dir/x.MCR", "macro\r\nart\r\n");
    frmmain& main = launch(path("some.dir/x.MCR"));
    ASSERT_NE(Forms::loaded<frmdraw>(), nullptr);
    frmdraw& d = *Forms::loaded<frmdraw>();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Text1->text(), "macro\r\nart\r\n");
    EXPECT_EQ(d.Label1->caption(), frmdraw::kTitle + " [" + path("some.dir/x.MCR") + "]");
    EXPECT_EQ(main.Text1->text(), "");
}

TEST_F(CommandLine, AnArtFileInAFolderWithADotFillsThePages)
{
    QDir().mkpath(path("my.mcr.d"));
    writeBytes("my.mcr.d/x.gly", "1\r\n2\r\n3\r\n4\r\n");
    frmmain& main = launch(path("my.mcr.d/x.gly"));
    EXPECT_EQ(main.pageTexts(), (Pages::Four{"1", "2", "3", "4"}));
    EXPECT_EQ(Forms::loaded<frmdraw>(), nullptr);
}

// Pasted into the macro editor, a letter with a combining accent is one Windows-1252 character,
// and the lines of the clipboard stay lines whatever their ends.
TEST_F(MacroShopTest, APastedAccentWrittenAsTwoCharactersIsOneAndEveryLineEndIsALine)
{
    frmdraw& d = shop();
    d.Text1->setText("");
    d.Text1->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("cafe") + QChar(0x0301) + "\r\nnai" + QChar(0x0308) +
                                       "ve\rend");
    QTest::keyClick(d.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(d.Text1->text(), QString::fromUtf8("caf\u00e9\r\nna\u00efve\r\nend"));
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A character Windows-1252 has not, or an accent with no composed form: nothing is pasted,
    // and the user learns which character is to blame.
    for (const auto& [clip, named] :
         {std::pair<QString, QString>{QString::fromUtf8("snow\u2603man"), QString::fromUtf8("\"\u2603\" (U+2603)")},
          {QStringLiteral("x") + QChar(0x0301), QStringLiteral("(U+0301)")}}) {
        SCOPED_TRACE(named.toStdString());
        prompts.messages.clear();
        QApplication::clipboard()->setText(clip);
        QTest::keyClick(d.Text1, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].text.startsWith("A macro cannot store ")) << prompts.messages[0].text.toStdString();
        EXPECT_TRUE(prompts.messages[0].text.contains(named)) << prompts.messages[0].text.toStdString();
        EXPECT_EQ(d.Text1->text(), QString::fromUtf8("caf\u00e9\r\nna\u00efve\r\nend"));
    }
}
