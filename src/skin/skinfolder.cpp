#include "skinfolder.h"

#include "core/commonkit.h"
#include "core/lenientnumber.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"

#include <QFileInfo>

#include <cmath>
#include <cstdint>

namespace SkinFolder {

const char* const kBitmaps[11] = {"bar.bmp", "bottom.bmp", "button.bmp", "extra.bmp", "frm.bmp", "frm2.bmp",
                                  "frmdraw.bmp", "frmrect.bmp", "iface.bmp", "ops.bmp", "top.bmp"};

QString DefaultFolder() { return ProgramFolder::file("skins/default/"); }

QString ResolveSkinFolder()
{
    const QString skin = CommonKit::Setting("SKIN");
    // An empty value would read the skin from the current folder: it counts as not set.
    if (skin != "none" && !skin.isEmpty()) {
        // A stored folder that is gone (or was stored before the program folder moved) would
        // leave every window unskinned: the default skin stands in, and SKIN stays as it is.
        return QFileInfo(skin).isDir() ? skin : DefaultFolder();
    }
    // The settings file holds Windows-1252 only; a program folder whose path it cannot hold is
    // not written (it would read back as another path), and the default is used as it stands.
    const QString folder = DefaultFolder();
    if (!CodePage::canEncode(folder))
        return folder;
    CommonKit::SetSetting("SKIN", folder);
    // On a full disk the write is lost; the windows are skinned all the same.
    const QString stored = CommonKit::Setting("SKIN");
    return stored == "none" || stored.isEmpty() ? folder : stored;
}

QString Value(const QString& folder, const QString& key)
{
    return CommonKit::ReadIni("skin", key, folder + "skin.ini");
}

double LenientNumber(const QString& text) { return CommonKit::LenientNumber(text); }

QColor ColourFromValue(const QString& text)
{
    // Fractions round to the nearest whole number, ties to even; a value beyond 32 bits is held
    // at the edge rather than wrapped, and the colour takes the low three bytes as before.
    const quint32 bgr = quint32(CommonKit::LenientWhole(text, INT32_MIN, UINT32_MAX));
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace SkinFolder
