#include "skinfolder.h"

#include "core/commonkit.h"
#include "core/lenientnumber.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QStringList>
#include <QTimer>
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
        // With the default gone too, the stored folder is named when its pictures are missed.
        return QFileInfo(skin).isDir() || !QFileInfo(DefaultFolder()).isDir() ? skin : DefaultFolder();
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

QColor Colour(const QString& folder, const QString& key)
{
    QString value = Value(folder, key);
    if (value.trimmed().isEmpty())
        value = Value(DefaultFolder(), key);
    return ColourFromValue(value);
}

std::optional<int> TwipsValue(const QString& folder, const QString& key)
{
    bool ok = false;
    const double v = Value(folder, key).toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > 1e7)
        return std::nullopt;
    return int(std::nearbyint(v));
}

QStringList MissingBitmaps(const QString& folder)
{
    QStringList missing;
    for (const char* name : kBitmaps)
        if (!CommonKit::FileExists(folder + name))
            missing << name;
    return missing;
}

namespace {
int batchDepth = 0;
QStringList unreadable;     // waiting for the message
QSet<QString> named;        // named once already

void showUnreadable()
{
    if (unreadable.isEmpty())
        return;
    const QStringList files = std::exchange(unreadable, {});
    QString text;
    if (files.size() > 1)
        text = "These skin pictures could not be read. Their windows are drawn plain.\n\n" + files.join('\n');
    else if (files.first().endsWith('/'))
        text = "The skin folder " + files.first() + " is not there. The windows are drawn plain.";
    else
        text = "The skin picture " + files.first() + " could not be read. Its window is drawn plain.";
    Prompts::messageBox(text, "Skin", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

// The message waits until the running handler is done, so a start-up or a skin change finishes
// first and everything it found goes into one message.
void reportUnreadable()
{
    static bool queued = false;
    if (batchDepth > 0 || unreadable.isEmpty() || queued)
        return;
    queued = true;
    QTimer::singleShot(0, [] {
        queued = false;
        showUnreadable();
    });
}
}

namespace {
// A folder that is gone is named once for all its pictures.
void nameUnreadable(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.dir().exists() ? path : info.absolutePath() + "/";
    if (!named.contains(name)) {
        named.insert(name);
        unreadable << name;
        reportUnreadable();
    }
}
} // namespace

QPixmap Picture(const QString& path)
{
    QPixmap picture(path);
    // A skin of bare file names (no folder stored) has nothing to name.
    if (!picture.isNull() || !QFileInfo(path).isAbsolute()) {
        named.remove(path);
        named.remove(QFileInfo(path).absolutePath() + "/");
        return picture;
    }
    nameUnreadable(path);
    return picture;
}

void CheckPictures(const QString& folder)
{
    if (!QFileInfo(folder).isAbsolute())
        return;
    Batch batch;
    for (const char* name : kBitmaps) {
        const QString path = folder + name;
        // Decoded whole, as the windows will: a sound header can hide a broken picture.
        if (QImageReader(path).read().isNull())
            nameUnreadable(path);
    }
}

Batch::Batch() { ++batchDepth; }

Batch::~Batch()
{
    --batchDepth;
    reportUnreadable();
}

} // namespace SkinFolder
