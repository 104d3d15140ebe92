#pragma once
#include <QString>
#include <QtGlobal>

// The one lenient reading of numbers kept as text (settings counters, window places, skin
// colours, typed menu numbers): blanks, tabs and line feeds are skipped wherever they stand, then
// the longest numeric prefix counts (decimal with sign, fraction and exponent "e" or "d", or "&H"
// hexadecimal, or "&O" octal) and the rest is ignored; nothing numeric gives 0.
namespace CommonKit {

// Always a finite number: values beyond the range of a double are held at its largest.
double LenientNumber(const QString& text);

// The number rounded to the nearest whole number (ties to the even neighbour) and held within
// lo..hi, so no caller can overflow.
qint64 LenientWhole(const QString& text, qint64 lo, qint64 hi);
qint64 RoundClamped(double value, qint64 lo, qint64 hi);

// A number as the system writes it back as text: whole numbers without a point ("8", "2147483648"),
// others with up to 15 significant digits ("3.5").
QString NumberText(double value);

} // namespace CommonKit
