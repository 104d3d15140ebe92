#include "support/shoptest.h"

#include "core/commonkit.h"
#include "app/extract.h"
#include "core/forms.h"
#include "app/frmart.h"
#include "app/handle.h"
#include "core/inifile.h"
#include "app/quit.h"
#include "app/startup.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/pageedit.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "shell/links.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace CommonKit;

namespace {

QByteArray defaultsFile()
{
    return QByteArray("[quorl]\r\nHANDLE=unknown\r\nID=XXXXXXXXX\r\nLOADED=0\r\nASCII=\x8b\x9b\xbb\r\nSKIN=none\r\n"
                      "X=none\r\nY=none\r\nOPTIONSWIN=False\r\nROLLEDUP=False\r\nLOADONSTARTUP=False\r\n");
}

} // namespace

class SettingsFile : public ShopTest {};

TEST_F(SettingsFile, DefaultsAreTheTenLinesInOrder)
{
    ResetSettings();
    EXPECT_EQ(readBytes("quorl.ini"), defaultsFile());
    EXPECT_EQ(Setting("ascii"), QString::fromUtf8("‹›»"));
}

TEST_F(SettingsFile, KeysMatchWithoutRegardToCaseAndWriteUpperCase)
{
    SetSetting("handle", "nick");
    EXPECT_EQ(readBytes("quorl.ini"), QByteArray("[quorl]\r\nHANDLE=nick\r\n"));
    EXPECT_EQ(ReadIni("QUORL", "Handle", SettingsPath()), "nick");
    SetSetting("HANDLE", "other");
    EXPECT_EQ(readBytes("quorl.ini"), QByteArray("[quorl]\r\nHANDLE=other\r\n"));
}

TEST_F(SettingsFile, ValuesAreCutAt749Characters)
{
    SetSetting("LONG", QString(800, 'v'));
    EXPECT_EQ(Setting("long"), QString(749, 'v'));
}

TEST_F(SettingsFile, MissingKeyReadsEmptyAndWritesNothing)
{
    EXPECT_EQ(Setting("HANDLE"), "");
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    ResetSettings();
    EXPECT_EQ(Setting("MENU"), "");
    EXPECT_EQ(readBytes("quorl.ini"), defaultsFile());
}

TEST_F(SettingsFile, ReplacesInPlaceAndAppendsAtTheEndOfItsSection)
{
    writeBytes("quorl.ini", "; kept\r\n[quorl]\r\nA = one \r\nB=two\r\n\r\n[other]\r\nA=x\r\n");
    EXPECT_EQ(Setting("a"), "one"); // blanks around a value are not part of it
    SetSetting("b", "2");
    SetSetting("C", "3");
    EXPECT_EQ(readBytes("quorl.ini"), QByteArray("; kept\r\n[quorl]\r\nA = one \r\nB=2\r\nC=3\r\n\r\n[other]\r\nA=x\r\n"));
    EXPECT_EQ(ReadIni("other", "a", SettingsPath()), "x");
    WriteIni("new", "k", "v", SettingsPath());
    EXPECT_TRUE(readBytes("quorl.ini").endsWith("[other]\r\nA=x\r\n[new]\r\nK=v\r\n"));
}

TEST_F(SettingsFile, AWriteIntoAMissingFolderReportsFailure)
{
    EXPECT_FALSE(WriteIni("quorl", "HANDLE", "lost", path("missing/quorl.ini")));
    EXPECT_FALSE(QFile::exists(path("missing/quorl.ini")));
}

TEST_F(SettingsFile, ResetFromTheMenuStartsAFreshFile)
{
    writeSettings("someone");
    SetSetting("MENU", "5");
    ResetSettings(true);
    EXPECT_EQ(readBytes("quorl.ini"), defaultsFile());
    EXPECT_EQ(clock.waits, QList<double>{0.1});
}

class TextFiles : public ShopTest {};

TEST_F(TextFiles, SaveStringAppendsOneLineEnd)
{
    SaveString("", path("e.txt"));
    EXPECT_EQ(readBytes("e.txt"), QByteArray("\r\n"));
    EXPECT_EQ(ReadFileText(path("e.txt")), "\r\n");
    SaveString(QString::fromUtf8("‹a›"), path("e.txt"));
    EXPECT_EQ(readBytes("e.txt"), QByteArray("\x8b" "a\x9b\r\n"));
}

TEST_F(TextFiles, SaveIntoAMissingFolderFailsAndSaysWhy)
{
    QString error;
    EXPECT_FALSE(SaveString("x", path("nowhere/x.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("nowhere/x.txt")));
}

TEST_F(TextFiles, FileExistsCountsNormalFilesOnly)
{
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(path("output")));
    writeBytes("output/a.gly", "a");
    writeBytes("output/.hidden", "h");
    EXPECT_TRUE(FileExists(path("output/a.gly")));
    EXPECT_FALSE(FileExists(path("output/.hidden")));
    EXPECT_TRUE(FileExists(path("output/*.gly")));
    EXPECT_FALSE(FileExists(path("output/*.mcr")));
}

TEST_F(TextFiles, LinesEndAtCrLfOrALoneCr)
{
    writeBytes("l.txt", "one\r\ntwo\rthree\r\n\r\nfour");
    EXPECT_EQ(ReadLines(path("l.txt")), (QStringList{"one", "two", "three", "", "four"}));
    EXPECT_TRUE(ReadLines(path("missing.txt")).isEmpty());
    QListWidget list;
    LoadListFromFile(&list, path("l.txt"));
    EXPECT_EQ(list.count(), 5);

    // Past a limit, only the whole lines within it.
    bool cut = false;
    EXPECT_EQ(ReadLines(path("l.txt"), 12, &cut), (QStringList{"one", "two"}));
    EXPECT_TRUE(cut);
    EXPECT_EQ(ReadLines(path("l.txt"), 2, &cut), QStringList{});
    EXPECT_TRUE(cut);
    EXPECT_EQ(ReadLines(path("l.txt"), 1000, &cut).size(), 5);
    EXPECT_FALSE(cut);
}

TEST(CommonKitText, ReplaceTextIgnoresCaseAndResumesBehindTheReplacement)
{
    QString t = "abcABC";
    EXPECT_EQ(ReplaceText(t, "b", "bb"), "abbcAbbC");
    EXPECT_EQ(t, "abbcAbbC");
    QString u = "aaa";
    EXPECT_EQ(ReplaceText(u, "a", "aa"), "aaaaaa");
    QString v = "xYx";
    EXPECT_EQ(ReplaceText(v, "y", ""), "xx");
}

TEST(CommonKitText, RemoveSpaces)
{
    EXPECT_EQ(RemoveSpaces("a b  c"), "abc");
    EXPECT_EQ(RemoveSpaces("   "), "");
    EXPECT_EQ(RemoveSpaces("a\tb"), "a\tb");
}

TEST(CommonKitText, InsertAtCursorGoesInAtTheSelectionStartAndReplacesNothing)
{
    QLineEdit box("abcd");
    box.setCursorPosition(2);
    InsertAtCursor("XY", &box);
    EXPECT_EQ(box.text(), "abXYcd");
    EXPECT_EQ(box.cursorPosition(), 4);
    box.setText("abcd");
    box.setSelection(1, 2);
    InsertAtCursor("Z", &box);
    EXPECT_EQ(box.text(), "aZbcd");
    EXPECT_EQ(box.cursorPosition(), 2);
    EXPECT_FALSE(box.hasSelectedText());
}

TEST(CommonKitText, InsertAtCursorPastThe16BitCaret)
{
    PageEdit box;
    box.setText(QString(40000, 'a'));
    box.setCursorPosition(39000);
    InsertAtCursor("Z", &box);
    EXPECT_EQ(box.text().size(), 40001);
    EXPECT_EQ(box.text().at(39000), 'Z');
    EXPECT_EQ(box.cursorPosition(), 39001);
}

TEST(CodePageEdges, EveryByteRoundTripsAndForeignTextIsRefused)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(CodePage::fromUnicode(CodePage::toUnicode(all)), all);
    EXPECT_TRUE(CodePage::canEncode(QString::fromUtf8("‹›» ¹·¹ €")));
    EXPECT_FALSE(CodePage::canEncode(QString::fromUtf8("✓")));
    PageEdit page;
    page.setFocus();
    page.insert(QString::fromUtf8("ok ✓"));
    EXPECT_EQ(page.text(), "");
    page.insert(QString::fromUtf8("ok ¤"));
    EXPECT_EQ(page.text(), QString::fromUtf8("ok ¤"));
}

class SkinValues : public ShopTest {};

TEST_F(SkinValues, NoneBecomesTheDefaultFolderOnFirstRead)
{
    ResetSettings();
    EXPECT_EQ(SkinFolder::ResolveSkinFolder(), path("skins/default/"));
    EXPECT_EQ(Setting("SKIN"), path("skins/default/"));
    EXPECT_FALSE(SkinFolder::Value("name").isEmpty());
}

TEST(SkinColours, LenientParse)
{
    EXPECT_EQ(SkinFolder::ColourFromValue("&HFF"), QColor(255, 0, 0));
    EXPECT_EQ(SkinFolder::ColourFromValue("16711680"), QColor(0, 0, 255));
    EXPECT_EQ(SkinFolder::LenientNumber("12abc"), 12);
    EXPECT_EQ(SkinFolder::LenientNumber(" 1 2\t3"), 123);
    EXPECT_EQ(SkinFolder::LenientNumber("&O17"), 15);
    EXPECT_EQ(SkinFolder::LenientNumber("-2.5e1x"), -25);
    EXPECT_EQ(SkinFolder::ColourFromValue(""), QColor(0, 0, 0));
    EXPECT_EQ(SkinFolder::ColourFromValue("green"), QColor(0, 0, 0));
    EXPECT_EQ(SkinFolder::ColourFromValue("2.5"), QColor(2, 0, 0)); // ties to even
}

TEST(MessageBoxes, ShowOutsideTextAsPlainTextNotMarkup)
{
    // The real box, answered by a click on its button as soon as it shows.
    Prompts::DialogSource real;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            shown = box->text();
            format = box->textFormat();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    });
    poll.start(10);
    const QString name = "x</b><a href=\"http://evil.example/\">y</a>";
    EXPECT_EQ(real.messageBox("The skin " + name + " cannot be read.", "GLY", Prompts::Buttons::Ok,
                              Prompts::Icon::Exclamation),
              Prompts::Answer::Ok);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, "The skin " + name + " cannot be read.");
}
