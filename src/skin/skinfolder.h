#pragma once
#include <QColor>
#include <QString>

// The current skin folder and the values of its skin.ini.
namespace SkinFolder {

// The eleven bitmaps every skin folder holds.
extern const char* const kBitmaps[11];

// SKIN from the settings file; "none" becomes the default skin folder, written back and read again
// (unless the settings file cannot hold its path). A stored folder that does not exist gives the
// default skin folder.
QString ResolveSkinFolder();
// The default skin folder, ending in "/".
QString DefaultFolder();

// A value of skin.ini, section skin, of the given skin folder ("" when missing).
QString Value(const QString& folder, const QString& key);
inline QString Value(const QString& key) { return Value(ResolveSkinFolder(), key); }

// The lenient numeric parse of skin colours (CommonKit::LenientNumber, kept here by name).
double LenientNumber(const QString& text);
// A colour value 0x00BBGGRR as a colour.
QColor ColourFromValue(const QString& text);
inline QColor Colour(const QString& key) { return ColourFromValue(Value(key)); }

} // namespace SkinFolder
