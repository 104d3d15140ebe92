#pragma once
#include <QString>

// Colour fades as chat HTML: every character gets its own font colour tag, so a text runs
// from one colour to another, or through a middle colour to a third.
namespace FadeKit {

// The value in upper-case hexadecimal, left-padded with zeros to six digits. Called with blue
// in the low byte and red in the high byte, the result is the colour code RRGGBB.
QString PadHex(long value);

// "<Font Color=#RRGGBB>" + wave tag + character for every character of text; the i-th of n
// characters is i steps of (colour 2 - colour 1) / n away from colour 1, so the last one has
// colour 2 exactly. Waving raises and lowers the characters in turn with sup and sub tags.
QString FadeTwoColors(int red1, int green1, int blue1, int red2, int green2, int blue2, const QString& text,
                      bool wave);

// The first half of the text (n / 2, rounded to even) from colour 1 to colour 2, the rest from
// colour 2 to colour 3; the wave runs on across both halves.
QString FadeThreeColors(int red1, int green1, int blue1, int red2, int green2, int blue2, int red3, int green3,
                        int blue3, const QString& text, bool wave);

} // namespace FadeKit
