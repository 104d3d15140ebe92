#pragma once
#include <QString>
#include <QStringList>

class QFile;
class QLineEdit;
class QPlainTextEdit;
class QListWidget;
class QWidget;

// The shared module of small routines every window uses: settings, plain text files, window
// helpers and the pause between chat messages.
namespace CommonKit {

// quorl.ini in the program folder, built at each call.
QString SettingsPath();

// Reads as through a 750-character buffer, so at most 749 characters come back; "" when absent.
QString ReadIni(const QString& section, const QString& key, const QString& path);
// Writes the key upper-cased. Returns false when the file could not be written.
bool WriteIni(const QString& section, const QString& key, const QString& value, const QString& path);

// Shorthands for section "quorl" of the settings file.
QString Setting(const QString& key);
// False when the settings file could not be written.
bool SetSetting(const QString& key, const QString& value);

// Writes the ten default settings in order; fromMenu first deletes the file and pauses.
void ResetSettings(bool fromMenu = false);

bool FileExists(const QString& path);

// Why a file gave less than asked. Only regular files are read: a FIFO, a device or a folder
// would block or never end.
enum class ReadProblem { None, Missing, NotAFile, Unreadable, TooLarge };
// The largest file ReadFileText reads whole.
constexpr qint64 kReadLimit = 16 * 1024 * 1024;
// Opens a regular file for reading without blocking; problem says why not.
bool OpenRegularFile(QFile& file, const QString& path, ReadProblem* problem = nullptr);
// At most limit bytes of a regular file; TooLarge (with the first limit bytes) when it holds more.
QByteArray ReadFileBytes(const QString& path, qint64 limit, ReadProblem* problem = nullptr);
// Up to limit bytes from an open file, read in steps: memory follows what the file holds, not
// the limit (the limits are megabytes, most files are a few hundred bytes).
QByteArray ReadAtMost(QFile& file, qint64 limit);
// The whole file as text; "" for anything that is not a regular file of at most kReadLimit bytes.
QString ReadFileText(const QString& path);
// A short sentence for a message box.
QString ReadProblemText(ReadProblem problem);
void LoadFileIntoText(QLineEdit* box, const QString& path);
void LoadFileIntoText(QPlainTextEdit* box, const QString& path);
// Writes the text and one CR LF, replacing the file atomically. Failures are not shown; the
// result says whether it was written and error (when given) why not.
bool SaveString(const QString& text, const QString& path, QString* error = nullptr);
bool SaveTextBox(const QLineEdit* box, const QString& path, QString* error = nullptr);
// The name a save writes for the name a save dialog returned: with "." + suffix when it has none.
// The dialog asked only about the name it returned, so a different existing file is asked about
// here; a folder, a pipe or a device under the name is never replaced (the user is told). ""
// when nothing is to be written.
QString SaveTarget(const QString& chosen, const QString& suffix, const QString& title);
// The lines of a file as the platform's line input splits them: a line ends at CR LF or a lone CR.
// Of a file over limit bytes, the whole lines within the limit, with cut set.
QStringList ReadLines(const QString& path, qint64 limit = kReadLimit, bool* cut = nullptr);
// The same lines as views into *text, the file's decoded text, with no string of their own: a
// million lines cost one block. The caller keeps *text, unchanged, as long as any line is used.
QStringList ReadLinesInto(QString* text, const QString& path, qint64 limit, bool* cut);
void LoadListFromFile(QListWidget* list, const QString& path);

// Case-insensitive replace-all that resumes behind each replacement; find must not be empty.
QString ReplaceText(QString& text, const QString& find, const QString& replacement);
// The same, unless the replacing grows the text past limit characters: then false, the text
// unchanged, and no more memory taken than the limit.
bool ReplaceTextWithin(QString& text, const QString& find, const QString& replacement, qsizetype limit);
QString RemoveSpaces(const QString& text);

// Inserts at the caret, replaces no selection, leaves the caret behind the insertion.
void InsertAtCursor(const QString& text, QLineEdit* box);
void InsertAtCursor(const QString& text, QPlainTextEdit* box);

void CenterForm(QWidget* window);
void StayOnTop(QWidget* window);
void NotOnTop(QWidget* window);
// Starts the platform's interactive move of the window.
void DragForm(QWidget* window);
// True for a main window height (twips) of exactly 550: only the caption strip shows.
bool IsRolledUp(int mainHeight);

// Returns after the given seconds, processing window events meanwhile.
void Pause(double seconds);

} // namespace CommonKit
