#pragma once
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/prompts.h"
#include "platform/random.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

class frmmain;

// A fake clock: waits advance it at once and are recorded, so no test sleeps.
class FakeClock : public Clock::Source {
public:
    double now = 12 * 3600.0; // seconds since midnight
    double mono = 1000.0;
    QList<double> waits;
    // Runs at the start of every wait (to look at the windows while a pause runs).
    std::function<void(double)> onWait;
    double secondsSinceMidnight() const override { return now; }
    double monotonic() const override { return mono; }
    void wait(double seconds) override;
    double waited() const;
};

// Scripted answers for message and input boxes and file dialogs; every question is recorded.
class ScriptedPrompts : public Prompts::Source {
public:
    struct Message {
        QString text, title;
        Prompts::Buttons buttons;
        Prompts::Icon icon;
    };
    QList<Message> messages;
    QList<QString> inputPrompts;
    std::deque<Prompts::Answer> answers;  // default: Ok / No
    std::deque<QString> inputs;           // default: ""
    std::deque<QString> fileNames;        // default: "" (cancelled)
    QList<QString> fileFolders;           // the folder each file dialog started in
    // Runs while any box or dialog is open (to look at the windows behind it).
    std::function<void()> whileAsking;

    Prompts::Answer messageBox(const QString& text, const QString& title, Prompts::Buttons buttons,
                               Prompts::Icon icon) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& preset) override;
    QString openFileName(const QString& filter, const QString& folder) override;
    QString saveFileName(const QString& filter, const QString& folder) override;
};

class frmmain;

class RecordingProcess : public Process::Source {
public:
    int ends = 0;
    int restarts = 0;
    void end() override { ++ends; }
    void startNewInstance() override { ++restarts; }
};

class FixedRandom : public Random::Source {
public:
    std::deque<double> draws;
    void reseed() override {}
    double draw() override;
};

// A test with its own program folder (the default skin copied in, the shipped folders made),
// its own per-user store, and every seam scripted. Windows loaded by a test are unloaded after it.
class ShopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& relative) const;
    QByteArray readBytes(const QString& relative) const;
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    // Writes the defaults and a handle, as after a first run.
    void writeSettings(const QString& handle = "tester");
    // Launches as the program does, with the command line given, running the staged start-up
    // step at once; the command line is cleared again after the test.
    frmmain& launch(const QString& commandLine = {});

    QTemporaryDir dir;
    FakeClock clock;
    ScriptedPrompts prompts;
    RecordingProcess process;
    FixedRandom random;
};

// Draw k of 0..14 for the decoration.
inline double drawOf(int k) { return (k + 0.5) / 15.0; }
