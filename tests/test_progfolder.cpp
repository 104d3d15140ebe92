// Where the program folder is, and how an installed shop's per-user folder is filled from the
// shipped content and refreshed by later versions without touching what the user has.
#include "platform/progfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QStringList record(const QString& folder)
{
    return QString::fromUtf8(bytesOf(folder + "/.shipped")).split('\n', Qt::SkipEmptyParts);
}

class PerUserFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        shipped = tmp.path() + "/usr/share/quorl";
        user = tmp.path() + "/home/.local/share/quorl-shop";
        put(shipped + "/skins/default/frm.bmp", "skin v1");
        put(shipped + "/macros/rose.mcr", "rose v1\r\n");
        put(shipped + "/Filters/leet.FLT", "leet v1");
        put(shipped + "/ascii/.keep", "");
        put(shipped + "/readme.ini", "[quorl]\r\n");
        QDir().mkpath(shipped + "/output");
        // A program folder the user cannot write holds the program beside its content.
        put(shipped + "/quorl", "#!/bin/sh\n");
        QFile::setPermissions(shipped + "/quorl", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // Installed files are read-only.
        QFile::setPermissions(shipped + "/macros/rose.mcr", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    QTemporaryDir tmp;
    QString shipped, user;
};

} // namespace

TEST(ProgramFolderChoice, HomeThenABuildFolderThenThePerUserFolder)
{
    QTemporaryDir tmp;
    const QString data = tmp.path() + "/data";
    QDir().mkpath(tmp.path() + "/build/stage");
    EXPECT_EQ(ProgramFolder::Choose(tmp.path() + "/build/stage", "/srv/mine", data), "/srv/mine");
    EXPECT_EQ(ProgramFolder::Choose(tmp.path() + "/build/stage", {}, data), tmp.path() + "/build/stage");
    EXPECT_EQ(ProgramFolder::ShippedFolder(tmp.path() + "/build/stage"), "");

    // bin/ beside share/quorl/ is an installed shop, even where the user (root) may write bin/.
    QDir().mkpath(tmp.path() + "/usr/bin");
    QDir().mkpath(tmp.path() + "/usr/share/quorl");
    EXPECT_EQ(ProgramFolder::Choose(tmp.path() + "/usr/bin", {}, data), data + "/quorl-shop");
    EXPECT_EQ(ProgramFolder::ShippedFolder(tmp.path() + "/usr/bin"), tmp.path() + "/usr/share/quorl");
    EXPECT_EQ(ProgramFolder::Choose(tmp.path() + "/usr/bin", "/srv/mine", data), "/srv/mine");
    EXPECT_EQ(ProgramFolder::Choose({}, {}, data), data + "/quorl-shop");

    if (::geteuid() != 0) {
        QDir().mkpath(tmp.path() + "/locked");
        QFile::setPermissions(tmp.path() + "/locked", QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(ProgramFolder::Choose(tmp.path() + "/locked", {}, data), data + "/quorl-shop");
        QFile::setPermissions(tmp.path() + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(ProgramFolderChoice, NamesThatAreNotUtf8AreTold)
{
    EXPECT_TRUE(ProgramFolder::IsUtf8Name("/home/zo\xc3\xab/shop"));
    EXPECT_TRUE(ProgramFolder::IsUtf8Name(""));
    EXPECT_FALSE(ProgramFolder::IsUtf8Name("/tmp/\xff/shop"));
    EXPECT_FALSE(ProgramFolder::IsUtf8Name("/tmp/zo\xeb")); // Latin-1
    EXPECT_FALSE(ProgramFolder::IsUtf8Name("/tmp/\xed\xa0\x80")); // an encoded surrogate
}

TEST_F(PerUserFolder, TheFirstStartGetsEveryShippedFileButTheProgram)
{
    ASSERT_EQ(ProgramFolder::Refresh(shipped, user), "");
    EXPECT_EQ(bytesOf(user + "/skins/default/frm.bmp"), "skin v1");
    EXPECT_EQ(bytesOf(user + "/macros/rose.mcr"), "rose v1\r\n");
    EXPECT_TRUE(QFileInfo(user + "/output").isDir());
    EXPECT_TRUE(QFile::exists(user + "/ascii/.keep"));
    EXPECT_FALSE(QFile::exists(user + "/quorl"));
    // The copy of a read-only installed file is the user's to change.
    EXPECT_TRUE(QFileInfo(user + "/macros/rose.mcr").permissions() & QFile::WriteOwner);
    EXPECT_EQ(record(user), (QStringList{"Filters/leet.FLT", "ascii/.keep", "macros/rose.mcr", "readme.ini",
                                         "skins/default/frm.bmp"}));
}

TEST_F(PerUserFolder, ALaterVersionAddsWhatItShipsAndKeepsWhatTheUserHas)
{
    ASSERT_EQ(ProgramFolder::Refresh(shipped, user), "");
    put(user + "/macros/rose.mcr", "my rose\r\n");             // changed
    ASSERT_TRUE(QFile::remove(user + "/Filters/leet.FLT"));   // deleted on purpose
    put(user + "/macros/castle.mcr", "my own castle\r\n");     // the user's, before it shipped
    put(user + "/quorl.ini", "[quorl]\r\nHANDLE=me\r\n");

    // The next version: a new skin, a new macro of a name the user has, every old file changed.
    put(shipped + "/skins/linen/frm.bmp", "linen");
    put(shipped + "/macros/castle.mcr", "castle v2\r\n");
    QFile::setPermissions(shipped + "/macros/rose.mcr", QFile::ReadOwner | QFile::WriteOwner);
    put(shipped + "/macros/rose.mcr", "rose v2\r\n");
    put(shipped + "/Filters/leet.FLT", "leet v2");
    put(shipped + "/skins/default/frm.bmp", "skin v2");
    ASSERT_EQ(ProgramFolder::Refresh(shipped, user), "");

    EXPECT_EQ(bytesOf(user + "/skins/linen/frm.bmp"), "linen");
    EXPECT_EQ(bytesOf(user + "/macros/rose.mcr"), "my rose\r\n");
    EXPECT_EQ(bytesOf(user + "/macros/castle.mcr"), "my own castle\r\n");
    EXPECT_FALSE(QFile::exists(user + "/Filters/leet.FLT"));
    EXPECT_EQ(bytesOf(user + "/skins/default/frm.bmp"), "skin v1");
    EXPECT_EQ(bytesOf(user + "/quorl.ini"), "[quorl]\r\nHANDLE=me\r\n");
    EXPECT_TRUE(record(user).contains("macros/castle.mcr"));
    EXPECT_TRUE(record(user).contains("Filters/leet.FLT"));

    // A skin the user took away stays away (no empty folder in "load skin"); a top folder comes
    // back empty.
    ASSERT_TRUE(QDir(user + "/skins/linen").removeRecursively());
    ASSERT_TRUE(QDir(user + "/output").removeRecursively());
    ASSERT_EQ(ProgramFolder::Refresh(shipped, user), "");
    EXPECT_FALSE(QFileInfo::exists(user + "/skins/linen"));
    EXPECT_TRUE(QFileInfo(user + "/output").isDir());
}

TEST_F(PerUserFolder, OnlyWhatAProgramFolderHoldsIsCopiedAndAFolderThatTakesNothingIsToldShort)
{
    put(shipped + "/junk/big.bin", "not the shop's");
    put(shipped + "/notes.txt", "nor this");
    ASSERT_EQ(ProgramFolder::Refresh(shipped, user), "");
    EXPECT_FALSE(QFileInfo::exists(user + "/junk"));
    EXPECT_FALSE(QFileInfo::exists(user + "/notes.txt"));

    for (int i = 0; i < 12; ++i)
        put(shipped + QStringLiteral("/macros/m%1.mcr").arg(i, 2, 10, QChar('0')), "m\r\n");
    ASSERT_TRUE(QDir(user + "/macros").removeRecursively());
    put(user + "/macros", "a file where the macros folder should be");
    const QString error = ProgramFolder::Refresh(shipped, user);
    EXPECT_TRUE(error.startsWith("These files could not be written: ")) << error.toStdString();
    // Twelve new files and their folder fail: five are named, the rest counted, and why is said.
    const QString named = error.section(" and ", 0, 0);
    EXPECT_EQ(named.count(", "), 4) << error.toStdString();
    EXPECT_TRUE(error.contains(" and 8 more (")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(")")) << error.toStdString();
    EXPECT_LT(error.size(), 1000);
}

TEST_F(PerUserFolder, AFileThatCannotBeWrittenIsNamedAndTheRestArrives)
{
    QDir().mkpath(user);
    put(user + "/skins", "a file where the skins folder should be");
    const QString error = ProgramFolder::Refresh(shipped, user);
    EXPECT_TRUE(error.contains(user + "/skins/default")) << error.toStdString();
    EXPECT_EQ(bytesOf(user + "/macros/rose.mcr"), "rose v1\r\n");
    // Not recorded, so the next start tries again once the way is clear.
    EXPECT_FALSE(record(user).contains("skins/default/frm.bmp"));
    ASSERT_TRUE(QFile::remove(user + "/skins"));
    EXPECT_EQ(ProgramFolder::Refresh(shipped, user), "");
    EXPECT_EQ(bytesOf(user + "/skins/default/frm.bmp"), "skin v1");
}
