#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The program folder: $QUORL_HOME when set, else the folder of the executable, else (an installed
// shop, or a folder the user cannot write) the per-user folder $XDG_DATA_HOME/quorl-shop, filled
// from the shipped content. Paths below it use "/" where the Windows design used "\".
namespace ProgramFolder {

// The folder without a trailing "/".
QString path();
// path() + "/" + relative.
QString file(const QString& relative);
// Overrides the folder (tests); an empty value returns to the environment's choice.
void setOverride(const QString& folder);

// The name of the per-user program folder below $XDG_DATA_HOME.
inline constexpr char kPerUserName[] = "quorl-shop";
// The record, in the per-user folder, of every shipped file it was given once.
inline constexpr char kShippedRecord[] = ".shipped";

// Where the program folder is, for an executable in appDir with quorlHome ($QUORL_HOME) and
// dataHome ($XDG_DATA_HOME) as given: quorlHome when set; appDir when it is writable and not an
// installed layout (bin/ beside share/quorl/); else dataHome/quorl-shop.
QString Choose(const QString& appDir, const QString& quorlHome, const QString& dataHome);
// The shipped content an installed shop fills its per-user folder from: appDir/../share/quorl,
// "" when appDir is not an installed layout.
QString ShippedFolder(const QString& appDir);
// True for the per-user folder of this process (not $QUORL_HOME nor the executable's folder).
bool IsPerUser();

// Copies every file of shipped into folder that the record (folder/.shipped) does not list yet,
// never replacing a file the folder already has, and records it; a file the user deleted stays
// deleted. Program files at the top of shipped (the executables) are not copied. "" on success,
// else what could not be copied or recorded.
QString Refresh(const QString& shipped, const QString& folder);

// At start, before anything reads or writes the folder: refuses a program folder, executable or
// per-user folder whose name is not UTF-8 (the settings, the desktop entry and every file name
// the shop writes are text), makes and fills the per-user folder. start false: the shop must not
// start; message (when not empty) is what the user is told either way.
struct Readiness {
    bool start = true;
    QString message;
};
Readiness Prepare();

// The raw bytes of a path name that cannot be held as text: true when they are UTF-8.
bool IsUtf8Name(const QByteArray& raw);

} // namespace ProgramFolder
