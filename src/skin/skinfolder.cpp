#include "skinfolder.h"

#include "core/commonkit.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <cmath>

namespace SkinFolder {

const char* const kBitmaps[11] = {"bar.bmp", "bottom.bmp", "button.bmp", "extra.bmp", "frm.bmp", "frm2.bmp",
                                  "frmdraw.bmp", "frmrect.bmp", "iface.bmp", "ops.bmp", "top.bmp"};

QString DefaultFolder() { return ProgramFolder::file("skins/default/"); }

QString ResolveSkinFolder()
{
    const QString skin = CommonKit::Setting("SKIN");
    // A stored folder that is gone (the program folder was moved, the skin deleted) paints from
    // the default skin for now; the setting stays as the user chose it.
    if (skin != "none" && !skin.isEmpty() && !QFileInfo(skin).isDir() && QFileInfo(DefaultFolder()).isDir())
        return DefaultFolder();
    if (skin != "none")
        return skin;
    CommonKit::SetSetting("SKIN", DefaultFolder());
    return CommonKit::Setting("SKIN");
}

QString Value(const QString& folder, const QString& key)
{
    return CommonKit::ReadIni("skin", key, folder + "skin.ini");
}

double LenientNumber(const QString& text)
{
    QString s;
    for (const QChar c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;
    if (s.startsWith("&H", Qt::CaseInsensitive) || s.startsWith("&O", Qt::CaseInsensitive)) {
        const int base = s[1].toUpper() == 'H' ? 16 : 8;
        qint64 v = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const int d = s[i].isDigit() ? s[i].digitValue()
                                         : (base == 16 && s[i].toLower() >= 'a' && s[i].toLower() <= 'f')
                                               ? s[i].toLower().unicode() - 'a' + 10
                                               : -1;
            if (d < 0 || d >= base)
                break;
            v = v * base + d;
        }
        return double(v);
    }
    // Longest prefix of: sign, digits, optional fraction, optional exponent.
    qsizetype i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const qsizetype digitsFrom = i;
    while (i < s.size() && s[i].isDigit())
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && s[digitsFrom] == '.'))
        return 0;
    qsizetype end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && s[j].isDigit()) {
            while (j < s.size() && s[j].isDigit())
                ++j;
            end = j;
        }
    }
    QString number = s.left(end);
    number.replace('d', 'e').replace('D', 'e');
    return number.toDouble();
}

QColor ColourFromValue(const QString& text)
{
    // Fractions round to the nearest whole number, ties to even.
    const qint64 v = qint64(std::nearbyint(LenientNumber(text)));
    const quint32 bgr = quint32(v);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
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

QPixmap Picture(const QString& path)
{
    QPixmap picture(path);
    // A skin of bare file names (no folder stored) has nothing to name.
    if (!picture.isNull() || !QFileInfo(path).isAbsolute()) {
        named.remove(path);
        named.remove(QFileInfo(path).absolutePath() + "/");
        return picture;
    }
    // A folder that is gone is named once for all its pictures.
    const QFileInfo info(path);
    const QString name = info.dir().exists() ? path : info.absolutePath() + "/";
    if (!named.contains(name)) {
        named.insert(name);
        unreadable << name;
        reportUnreadable();
    }
    return picture;
}

Batch::Batch() { ++batchDepth; }

Batch::~Batch()
{
    --batchDepth;
    reportUnreadable();
}

} // namespace SkinFolder
