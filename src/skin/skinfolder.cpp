#include "skinfolder.h"

#include "core/commonkit.h"
#include "core/lenientnumber.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <thread>

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

void settle();

void showUnreadable()
{
    settle();
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

namespace {
// A picture decoded by the check, with what its file was then.
struct Decoded {
    QDateTime modified;
    qint64 size = -1;
    QPixmap picture;
};
QHash<QString, Decoded> decoded;

QPixmap decodedPicture(const QString& path)
{
    const auto it = decoded.constFind(path);
    if (it == decoded.constEnd())
        return {};
    const QFileInfo now(path);
    return now.lastModified() == it->modified && now.size() == it->size ? it->picture : QPixmap();
}
} // namespace

namespace {
constexpr int kCount = std::size(kBitmaps);

// The check's decoding, going on beside the start until a picture or the message needs it.
struct Check {
    std::array<QFileInfo, kCount> files;
    std::array<QPixmap, kCount> known; // decoded before, its file unchanged since
    std::array<QImage, kCount> images;
    std::atomic<int> next = 0; // more than one worker may share the list
    std::array<std::jthread, 1> workers;
};
std::unique_ptr<Check> running;

// Waits for the running check and names what it could not read.
void settle()
{
    if (!running)
        return;
    const std::unique_ptr<Check> check = std::move(running);
    for (std::jthread& worker : check->workers)
        worker.join();
    QHash<QString, Decoded> kept;
    for (int i = 0; i < kCount; ++i) {
        const QString path = check->files[i].filePath();
        if (check->known[i].isNull() && check->images[i].isNull()) {
            nameUnreadable(path);
            continue;
        }
        kept.insert(path, {check->files[i].lastModified(), check->files[i].size(),
                           check->known[i].isNull() ? QPixmap::fromImage(std::move(check->images[i]))
                                                    : check->known[i]});
    }
    decoded = std::move(kept);
}
} // namespace

QPixmap Picture(const QString& path)
{
    settle();
    QPixmap picture = decodedPicture(path);
    if (picture.isNull())
        picture = QPixmap(path);
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
    settle();
    if (!QFileInfo(folder).isAbsolute())
        return;
    // Decoded whole, as the windows will: a sound header can hide a broken picture. The file is
    // noted before it is read, so a picture changed meanwhile is not taken for the new one.
    running = std::make_unique<Check>();
    Check& check = *running;
    for (int i = 0; i < kCount; ++i) {
        check.files[i] = QFileInfo(folder + kBitmaps[i]);
        check.files[i].lastModified(); // read now
        check.known[i] = decodedPicture(check.files[i].filePath());
    }
    // The decoding is the largest part of a start's own work: a thread does it while the start
    // goes on, until the first picture is needed or the events are next processed.
    for (std::jthread& worker : check.workers)
        worker = std::jthread([&check] {
            for (int i; (i = check.next++) < kCount;)
                if (check.known[i].isNull())
                    check.images[i] = QImageReader(check.files[i].filePath()).read();
        });
    QTimer::singleShot(0, [] { settle(); });
}

Batch::Batch() { ++batchDepth; }

Batch::~Batch()
{
    --batchDepth;
    reportUnreadable();
}

} // namespace SkinFolder
