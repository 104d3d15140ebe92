#pragma once
#include <QString>

// The two file types of the shop, .gly (art) and .mcr (macros), registered with the desktop:
// a shared-mime-info package per type, the program's desktop entry naming both types and this
// executable, the shop as their default in mimeapps.list, and the type icons in the hicolor
// theme, all under $XDG_DATA_HOME and $XDG_CONFIG_HOME.
namespace iconinstall {

// Checks .gly and, if needed, registers it; "" when all is well, else what went wrong.
QString InstallGlyAssociation();
// The same for .mcr.
QString InstallMacroAssociation();
// Both, at start-up: a failure is told to the user once; the next start tries again.
void InstallAssociations();

// Writes the registration of one type: ext ".gly", class "glyfile", description "Quorl Ascii
// File", icon the base name of its pictures in the program folder's icons folder ("gly").
// False (with the reason in error) when a file could not be written.
bool RegisterFileType(const QString& ext, const QString& className, const QString& description,
                      const QString& icon, QString* error = nullptr);

// Where things go.
QString DesktopId();                             // "quorl.desktop"
QString DesktopEntryPath();                      // $XDG_DATA_HOME/applications/quorl.desktop
QString MimeAppsPath();                          // $XDG_CONFIG_HOME/mimeapps.list
QString MimeType(const QString& className);      // "text/x-glyfile"
QString MimePackagePath(const QString& className);
QString IconPath(const QString& className, int size);
// The Exec line of the desktop entry: this executable, quoted, then "%f".
QString ExecLine();


} // namespace iconinstall
