#include "lenientnumber.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace CommonKit {

namespace {

int digitValue(QChar c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c.unicode() - '0';
    else if (c >= 'a' && c <= 'f')
        d = c.unicode() - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c.unicode() - 'A' + 10;
    return d < base ? d : -1;
}

bool isDigit(const QString& s, qsizetype i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; }

double finite(double v)
{
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -DBL_MAX, DBL_MAX);
}

} // namespace

double LenientNumber(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;
    if (s.size() >= 2 && s[0] == '&' && (s[1].toUpper() == 'H' || s[1].toUpper() == 'O')) {
        const int base = s[1].toUpper() == 'H' ? 16 : 8;
        // Summed as a double: a long run of digits grows large but never wraps.
        double v = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const int d = digitValue(s[i], base);
            if (d < 0)
                break;
            v = v * base + d;
        }
        return finite(v);
    }
    // Longest prefix of: sign, digits, optional fraction, optional exponent.
    qsizetype i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const qsizetype from = i;
    while (isDigit(s, i))
        ++i;
    qsizetype digits = i - from;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (isDigit(s, i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    qsizetype end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (isDigit(s, j)) {
            while (isDigit(s, j))
                ++j;
            end = j;
        }
    }
    QString number = s.left(end);
    number.replace('d', 'e').replace('D', 'e');
    // Read with the point whatever the user's locale; out of range gives infinity, held above.
    return finite(number.toDouble());
}

qint64 RoundClamped(double value, qint64 lo, qint64 hi)
{
    if (std::isnan(value))
        return std::clamp<qint64>(0, lo, hi);
    const double r = std::nearbyint(value); // the default rounding: nearest, ties to even
    if (r <= double(lo))
        return lo;
    if (r >= double(hi))
        return hi;
    return qint64(r);
}

qint64 LenientWhole(const QString& text, qint64 lo, qint64 hi) { return RoundClamped(LenientNumber(text), lo, hi); }

QString NumberText(double value)
{
    value = finite(value);
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

} // namespace CommonKit
