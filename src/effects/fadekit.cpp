#include "fadekit.h"

#include <cstdint>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace FadeKit {

namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";
const QString kTagStart = QStringLiteral("<Font Color=#");
// The wave tags for counter 1..4, and the most characters one coloured character can take.
const QString kWave[4] = {QStringLiteral("<sup>"), QStringLiteral("</sup>"), QStringLiteral("<sub>"),
                          QStringLiteral("</sub>")};
constexpr qsizetype kPerChar = 13 + 6 + 1 + 1;
constexpr qsizetype kMostPerWavingChar = kPerChar + 6;

// Ties go to the even neighbour, as every conversion to a whole number in the shop does. Adding
// and taking away 1.5 * 2^52 rounds so in the default rounding mode, without a library call.
inline double roundEven(double v)
{
    constexpr double shift = 6755399441055744.0;
    return (v + shift) - shift;
}

struct Colour {
    int r, g, b;
};

// One run of the fade: characters [from, from + count) of text from colour a to colour b,
// written at p, which has room for every character and its tags. The wave counter runs on from
// the caller's value. Returns the end of what was written.
char16_t* fadeRun(char16_t* p, const QString& text, qsizetype from, qsizetype count, Colour a, Colour b, bool wave,
                  int& counter)
{
    if (count <= 0)
        return p;
    // The step is computed first, then multiplied: the last character lands exactly on b.
    const double n = double(count);
    const double sr = (b.r - a.r) / n, sg = (b.g - a.g) / n, sb = (b.b - a.b) / n;
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData()) + from;
    for (qsizetype i = 1; i <= count; ++i) {
        const double k = double(i);
        const double r = roundEven(a.r + k * sr), g = roundEven(a.g + k * sg), bl = roundEven(a.b + k * sb);
        std::memcpy(p, kTagStart.constData(), 13 * sizeof(char16_t));
        p += 13;
        // Components outside 0 to 255 are outside the colour model (the bars never give them);
        // they are held to it so a code is always six digits.
        for (const double v : {r, g, bl}) {
            const unsigned c = v <= 0 ? 0u : v >= 255 ? 255u : unsigned(v);
            *p++ = kHex[c >> 4];
            *p++ = kHex[c & 15];
        }
        *p++ = u'>';
        if (wave) {
            counter = counter % 4 + 1;
            const QString& tag = kWave[counter - 1];
            std::memcpy(p, tag.constData(), tag.size() * sizeof(char16_t));
            p += tag.size();
        }
        *p++ = src[i - 1];
    }
    return p;
}

// A fade of a megabyte writes some forty megabytes; in pages of 2 MB the kernel takes a
// few faults instead of ten thousand.
void adviseHugePages(void* at, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    if (bytes < 4 * huge)
        return;
    const std::uintptr_t from = (std::uintptr_t(at) + huge - 1) & ~(huge - 1);
    const std::uintptr_t to = (std::uintptr_t(at) + bytes) & ~(huge - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(at);
    Q_UNUSED(bytes);
#endif
}

// Fades the runs into one string sized once: exactly without waving, at most with it.
template <class F> QString build(qsizetype n, bool wave, F write)
{
    QString out(n * (wave ? kMostPerWavingChar : kPerChar), Qt::Uninitialized);
    char16_t* begin = reinterpret_cast<char16_t*>(out.data());
    adviseHugePages(begin, out.size() * sizeof(char16_t));
    out.truncate(write(begin) - begin);
    return out;
}

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
    int counter = 0;
    return build(text.size(), wave, [&](char16_t* p) {
        return fadeRun(p, text, 0, text.size(), {red1, green1, blue1}, {red2, green2, blue2}, wave, counter);
    });
}

QString FadeThreeColors(int red1, int green1, int blue1, int red2, int green2, int blue2, int red3, int green3,
                        int blue3, const QString& text, bool wave)
{
    const qsizetype n = text.size();
    // Whole-width lengths: texts of any length split in their middle.
    const qsizetype h = qsizetype(roundEven(double(n) / 2.0));
    int counter = 0;
    return build(n, wave, [&](char16_t* p) {
        p = fadeRun(p, text, 0, h, {red1, green1, blue1}, {red2, green2, blue2}, wave, counter);
        return fadeRun(p, text, h, n - h, {red2, green2, blue2}, {red3, green3, blue3}, wave, counter);
    });
}

} // namespace FadeKit
