#include "skinfolder.h"

#include "core/commonkit.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"

#include <QFileInfo>

#include <cmath>

namespace SkinFolder {

const char* const kBitmaps[11] = {"bar.bmp", "bottom.bmp", "button.bmp", "extra.bmp", "frm.bmp", "frm2.bmp",
                                  "frmdraw.bmp", "frmrect.bmp", "iface.bmp", "ops.bmp", "top.bmp"};

QString DefaultFolder() { return ProgramFolder::file("skins/default/"); }

QString ResolveSkinFolder()
{
    const QString skin = CommonKit::Setting("SKIN");
    if (skin != "none") {
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

} // namespace SkinFolder
