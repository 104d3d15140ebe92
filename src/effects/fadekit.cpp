#include "fadekit.h"

#include <cmath>

namespace FadeKit {

namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

// Ties go to the even neighbour, as every conversion to a whole number in the shop does.
int roundEven(double v) { return int(std::nearbyint(v)); }

struct Colour {
    int r, g, b;
};

// One run of the fade: characters [from, from + count) of text from colour a to colour b,
// appended to out. The wave counter runs on from the caller's value.
void fadeRun(QString& out, const QString& text, qsizetype from, qsizetype count, Colour a, Colour b, bool wave,
             int& counter)
{
    if (count <= 0)
        return;
    // The step is computed first, then multiplied: the last character lands exactly on b.
    const double n = double(count);
    const double sr = (b.r - a.r) / n, sg = (b.g - a.g) / n, sb = (b.b - a.b) / n;
    char16_t tag[20] = {u'<', u'F', u'o', u'n', u't', u' ', u'C', u'o', u'l', u'o', u'r', u'=', u'#'};
    for (qsizetype i = 1; i <= count; ++i) {
        const double k = double(i);
        const int r = roundEven(a.r + k * sr), g = roundEven(a.g + k * sg), bl = roundEven(a.b + k * sb);
        if ((unsigned(r) | unsigned(g) | unsigned(bl)) <= 0xff) {
            const unsigned c[3] = {unsigned(r), unsigned(g), unsigned(bl)};
            for (int j = 0; j < 3; ++j) {
                tag[13 + 2 * j] = kHex[c[j] >> 4];
                tag[14 + 2 * j] = kHex[c[j] & 15];
            }
            tag[19] = u'>';
            out.append(reinterpret_cast<const QChar*>(tag), 20);
        } else {
            // A component outside 0 to 255 (never from the bars) takes the long way, digit for digit.
            out += QStringLiteral("<Font Color=#") + PadHex(bl + 256L * g + 65536L * r) + u'>';
        }
        if (wave) {
            counter = counter % 4 + 1;
            static const QString tags[4] = {QStringLiteral("<sup>"), QStringLiteral("</sup>"),
                                            QStringLiteral("<sub>"), QStringLiteral("</sub>")};
            out += tags[counter - 1];
        }
        out += text[from + i - 1];
    }
}

qsizetype expectedSize(qsizetype n, bool wave) { return n * (wave ? 27 : 21); }

} // namespace

QString PadHex(long value)
{
    QString hex = QString::number(value, 16).toUpper();
    if (hex.size() < 6)
        hex.prepend(QString(6 - hex.size(), u'0'));
    return hex;
}

QString FadeTwoColors(int red1, int green1, int blue1, int red2, int green2, int blue2, const QString& text,
                      bool wave)
{
    QString out;
    out.reserve(expectedSize(text.size(), wave));
    int counter = 0;
    fadeRun(out, text, 0, text.size(), {red1, green1, blue1}, {red2, green2, blue2}, wave, counter);
    return out;
}

QString FadeThreeColors(int red1, int green1, int blue1, int red2, int green2, int blue2, int red3, int green3,
                        int blue3, const QString& text, bool wave)
{
    const qsizetype n = text.size();
    // Whole-width lengths: texts of any length split in their middle.
    const qsizetype h = qsizetype(std::nearbyint(double(n) / 2.0));
    QString out;
    out.reserve(expectedSize(n, wave));
    int counter = 0;
    fadeRun(out, text, 0, h, {red1, green1, blue1}, {red2, green2, blue2}, wave, counter);
    fadeRun(out, text, h, n - h, {red2, green2, blue2}, {red3, green3, blue3}, wave, counter);
    return out;
}

} // namespace FadeKit
