#include "support/helpers.h"
#include "shoptest.h"

#include "platform/chatbus.h"

#include "app/startup.h"
#include "core/commonkit.h"
#include "editor/frmmain.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "platform/progfolder.h"

#include <QTimer>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

void FakeClock::wait(double seconds)
{
    if (seconds <= 0)
        return;
    waits << seconds;
    if (onWait)
        onWait(seconds);
    now += seconds;
    if (now >= 86400)
        now -= 86400;
    mono += seconds;
    processEvents();
}

double FakeClock::waited() const
{
    double sum = 0;
    for (double w : waits)
        sum += w;
    return sum;
}

Prompts::Answer ScriptedPrompts::messageBox(const QString& text, const QString& title, Prompts::Buttons buttons,
                                            Prompts::Icon icon)
{
    messages << Message{text, title, buttons, icon};
    if (whileAsking)
        whileAsking();
    // Unscripted: No to a question (with or without Cancel), Ok otherwise.
    if (answers.empty())
        return buttons == Prompts::Buttons::YesNo || buttons == Prompts::Buttons::YesNoCancel ||
                       buttons == Prompts::Buttons::YesNoDefaultNo
                   ? Prompts::Answer::No
                                                                                               : Prompts::Answer::Ok;
    const Prompts::Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompts::inputBox(const QString& prompt, const QString&, const QString&)
{
    inputPrompts << prompt;
    if (whileAsking)
        whileAsking();
    if (inputs.empty())
        return {};
    const QString s = inputs.front();
    inputs.pop_front();
    return s;
}

QString ScriptedPrompts::openFileName(const QString&, const QString& folder)
{
    fileFolders << folder;
    if (whileAsking)
        whileAsking();
    if (fileNames.empty())
        return {};
    const QString s = fileNames.front();
    fileNames.pop_front();
    return s;
}

QString ScriptedPrompts::saveFileName(const QString& filter, const QString& folder)
{
    return openFileName(filter, folder);
}

double FixedRandom::draw()
{
    if (draws.empty())
        return 0;
    const double d = draws.front();
    draws.pop_front();
    return d;
}

namespace {
}

void ShopTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    TestHelpers::makeProgramFolder(dir.path());
    // Each test starts with an empty per-user store.
    QSettings(QSettings::IniFormat, QSettings::UserScope, "GLY", "GLY").clear();
    Clock::install(&clock);
    Prompts::install(&prompts);
    Process::install(&process);
    Random::install(&random);
    // A call given up in the test before (in the same process) says nothing of this one.
    ChatBus::TakeLoss();
}

frmmain& ShopTest::launch(const QString& commandLine)
{
    Startup::SetCommandLine(commandLine);
    Startup::Launch();
    frmmain& main = Forms::get<frmmain>();
    if (main.Timer8->isActive())
        main.Timer8_Timer();
    return main;
}

void ShopTest::TearDown()
{
    Startup::SetCommandLine({});
    Forms::unloadAll();
    QCoreApplication::processEvents();
    Clock::install(nullptr);
    Prompts::install(nullptr);
    Process::install(nullptr);
    Random::install(nullptr);
    ProgramFolder::setOverride({});
}

QString ShopTest::path(const QString& relative) const { return dir.path() + "/" + relative; }

QByteArray ShopTest::readBytes(const QString& relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ShopTest::writeBytes(const QString& relative, const QByteArray& bytes) const
{
    QFile f(path(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void ShopTest::writeSettings(const QString& handle)
{
    CommonKit::ResetSettings();
    CommonKit::SetSetting("HANDLE", handle);
}
