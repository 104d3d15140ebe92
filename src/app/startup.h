#pragma once
#include <QString>

#include <thread>

class frmmain;

// Launch to ready main window: the start-up decision, the staged start-up, the command-line
// file and the welcome window.
namespace Startup {

// Reads fontconfig's configuration and caches, the larger part of reading the fonts, on a thread
// of its own; it needs no application, so it runs beside the application's own start.
std::jthread ReadFontconfigAside();
// Reads the system's fonts on a thread of its own, beside the rest of the start-up, until the
// first text needs them (the font database is thread-safe). Call it once the application exists;
// given the fontconfig thread, it waits for it first, so the configuration is read only once.
std::jthread ReadFontsAside(std::jthread fontconfig = {});

// Connects to the session bus on a thread of its own: the first window's accessible name makes
// the toolkit's accessibility bridge wait for that connection, and where no bus address is set the
// bus library first starts a bus. Call it once the application exists.
std::jthread ConnectSessionBusAside();

void SetCommandLine(const QString& commandLine);
QString CommandLine();

// Loads the start-up window; it decides between the first-run dialog and the splash.
void Launch();
// Splash, main window loaded hidden and shown (which starts the staged start-up), short pause.
void OpenMainWindow();
// The splash's status line.
void SplashStatus(const QString& text);
// The steps the main window's one-shot timer runs.
void StagedStartup(frmmain& main);
// Names a program folder (or its output/) that cannot be written: quit could save nothing there.
void WarnIfNotWritable();
// Opens the command-line file: a macro file in the macro shop, anything else over the pages.
void OpenCommandLineFile();
// The same for any path (a file handed over by a second launch).
void OpenFile(const QString& path);
// What a file handed to the shop becomes, by its name and its text: nothing (empty, one empty
// line, or a link file), a macro (its own suffix is .mcr, any case) or the four pages.
enum class HandedFile { Ignored, Macro, Pages };
HandedFile ClassifyFile(const QString& path, const QString& content);
// Shows the welcome window while fewer than two starts are counted.
void WelcomeCheck();
// Gives the windows their way up to start-up and quit (the hooks of Lifecycle).
void InstallHooks();

} // namespace Startup
