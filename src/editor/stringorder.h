#pragma once
#include <QString>
#include <QStringList>

// The order of the string lists: the word sort of the character maps. Letters come first
// without case or accents, then accents decide, then case (lower before upper); hyphens,
// apostrophes, dashes and control characters are ignored within words and only break ties;
// symbols sort before digits and digits before letters, in the character set's own order.
// Ligatures sort as their two letters (the "ae" of a ligature after every plain "a").
namespace StringOrder {

// Negative, zero or positive as a sorts before, equal to or after b. Zero only for equal strings.
int Compare(const QString& a, const QString& b);
inline bool Less(const QString& a, const QString& b) { return Compare(a, b) < 0; }

// Sorts into this order, equal strings keeping their order; linear-logarithmic in the count
// (the string file can hold a million lines).
void Sort(QStringList& list);

// The 215 entries every character list starts with, in their sorted order.
const QStringList& CharacterSet();

} // namespace StringOrder
