#pragma once
#include <QString>

// The program folder: the folder of the executable, or $QUORL_HOME when set. Paths below it use
// "/" where the Windows design used "\".
namespace ProgramFolder {

// The folder without a trailing "/".
QString path();
// path() + "/" + relative.
QString file(const QString& relative);
// Overrides the folder (tests); an empty value returns to the environment's choice.
void setOverride(const QString& folder);

} // namespace ProgramFolder
