// Crash safety: the writer is killed (SIGKILL) at varied moments while it stores a large ascii
// file, the page files as quit stores them, and the settings file. Every file must then hold
// either the complete version before the one being written or the complete new one.
#include "killsafe_content.h"

#include "core/commonkit.h"
#include "core/inifile.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <thread>

namespace {

struct Outcomes {
    int old = 0, fresh = 0, other = 0;
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint64 versionIn(const QByteArray& bytes)
{
    static const QRegularExpression head(QStringLiteral("v(\\d+) "));
    const auto m = head.match(QString::fromLatin1(bytes.left(400)));
    return m.hasMatch() ? m.captured(1).toULongLong() : 0;
}

// What a file must be for version n, as the routines write it.
QByteArray expectedAscii(quint64 n) { return CodePage::fromUnicode(Pages::AsciiFileText(KillSafe::AsciiPages(n))) + "\r\n"; }
QByteArray expectedPage(quint64 n, int p) { return CodePage::fromUnicode(KillSafe::Page(n, p)) + "\r\n"; }

// Judges one file after a kill: the version before the last started write, or that write's.
void judge(const QByteArray& bytes, quint64 started, const std::function<QByteArray(quint64)>& expected,
           Outcomes& out)
{
    const quint64 v = versionIn(bytes);
    if ((v == started || v + 1 == started) && bytes == expected(v))
        (v == started ? out.fresh : out.old)++;
    else
        out.other++;
}

// Starts the writer, lets it write at least one complete version, kills it at a varied moment
// within the next write (fraction of one write's duration) and returns the number of the last
// write it had started.
quint64 runAndKill(const QString& mode, const QString& folder, double fraction)
{
    QProcess writer;
    writer.start(QStringLiteral(KILLSAFE_WRITER), {mode, folder});
    EXPECT_TRUE(writer.waitForStarted(5000));
    QByteArray said;
    QElapsedTimer cycle;
    while (!said.contains("writing 1\n") && writer.waitForReadyRead(10000))
        said += writer.readAllStandardOutput();
    cycle.start();
    // "writing 2" means version 1 is complete.
    while (!said.contains("writing 2\n") && writer.waitForReadyRead(10000))
        said += writer.readAllStandardOutput();
    // Varies the moment of the kill over about one write; the outcome, not the time, is checked.
    std::this_thread::sleep_for(std::chrono::nanoseconds(qint64(fraction * double(cycle.nsecsElapsed()))));
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished(5000);
    said += writer.readAllStandardOutput();
    const QList<QByteArray> lines = said.trimmed().split('\n');
    return lines.last().mid(8).toULongLong();
}

class KillSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.path() + "/output");
        ProgramFolder::setOverride(dir.path());
    }
    void TearDown() override { ProgramFolder::setOverride({}); }

    void report(const char* what, const Outcomes& o, int kills)
    {
        std::printf("%s: %d kills, old %d, new %d, other %d\n", what, kills, o.old, o.fresh, o.other);
        EXPECT_EQ(o.other, 0) << what;
        EXPECT_EQ(o.old + o.fresh, kills * filesPerKill) << what;
    }

    QTemporaryDir dir;
    int filesPerKill = 1;
    QRandomGenerator random{20261208};
};

constexpr int kKills = 70;

TEST_F(KillSafety, ALargeAsciiFileIsOldOrNewAfterAnyKill)
{
    Outcomes o;
    for (int i = 0; i < kKills; ++i) {
        const quint64 started = runAndKill("ascii", dir.path(), 1.5 * random.generateDouble());
        judge(fileBytes(dir.path() + "/art.gly"), started, expectedAscii, o);
    }
    report("ascii file", o, kKills);
}

TEST_F(KillSafety, PageFilesAreEachOldOrNewAfterAnyKill)
{
    filesPerKill = 4;
    Outcomes o;
    for (int i = 0; i < kKills; ++i) {
        const quint64 started = runAndKill("pages", dir.path(), 1.5 * random.generateDouble());
        for (int p = 1; p <= 4; ++p)
            judge(fileBytes(dir.path() + QStringLiteral("/output/text%1.gly").arg(p)), started,
                  [p](quint64 n) { return expectedPage(n, p); }, o);
    }
    report("page files", o, kKills);
}

TEST_F(KillSafety, TheSettingsFileIsOldOrNewAfterAnyKill)
{
    CommonKit::ResetSettings();
    const QString settings = CommonKit::SettingsPath();
    Outcomes o;
    for (int i = 0; i < kKills; ++i) {
        const quint64 started = runAndKill("settings", dir.path(), 1.5 * random.generateDouble());
        const QByteArray bytes = fileBytes(settings);
        // The whole file: the other nine settings intact, the handle one complete version.
        const QString handle = IniFile::ReadProfileString("quorl", "HANDLE", "", 750, settings);
        const quint64 v = versionIn(handle.toLatin1());
        const bool whole = bytes.endsWith("\r\n") && bytes.count("\r\n") == 11 && (v == started || v + 1 == started)
                           && handle == KillSafe::SettingValue(v)
                           && IniFile::ReadProfileString("quorl", "SKIN", "?", 750, settings) == "none";
        if (!whole)
            o.other++;
        else
            (v == started ? o.fresh : o.old)++;
    }
    report("settings file", o, kKills);
}

} // namespace
