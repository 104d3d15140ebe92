#pragma once
#include <QColor>
#include <QPixmap>
#include <QString>
#include <optional>

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
// A colour of the skin; one the skin's skin.ini lacks (or has no skin.ini for) is the default
// skin's, so a bare skin stays legible.
QColor Colour(const QString& folder, const QString& key);
inline QColor Colour(const QString& key) { return Colour(ResolveSkinFolder(), key); }

// A value in twips, converted strictly; empty or not a number gives nothing (the designed value stays).
std::optional<int> TwipsValue(const QString& folder, const QString& key);

// The missing ones of the eleven bitmaps in the folder (which ends in "/").
QStringList MissingBitmaps(const QString& folder);

// A skin bitmap as a picture. One that cannot be read leaves its surface plain and is named in a
// message once the running handler is done; a Batch keeps gathering until it ends, so every such
// file goes into one message. Each file is named once.
QPixmap Picture(const QString& path);
// Names every one of the eleven bitmaps of the folder that cannot be read, as Picture would,
// so a skin of broken pictures is told in one message before any window needs them. The decoding
// goes on beside the caller until the first Picture or the next events; the pictures are kept for
// Picture while their files stay as they were (the last folder checked).
void CheckPictures(const QString& folder);
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
};

} // namespace SkinFolder
