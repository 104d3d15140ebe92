#pragma once
#include <QString>

#include <array>
#include <optional>

class QLineEdit;

// The random decoration: one ornament pair of a fixed table wrapped around every art page.
namespace Decorations {

struct Pair {
    QString left;
    QString right;
};

// The pair numbered k (1..15); none for 10 and for numbers outside the table.
std::optional<Pair> PairFor(int k);

// Re-seeds and draws k = floor(r * 15), one of 0..14.
int Draw();

// Wraps each page, Text1 first, in pair k: caret to 0, left string in, caret to the end, right
// string in. A k without a pair changes nothing.
void Decorate(const std::array<QLineEdit*, 4>& pages, int k);

// Ctrl+B in any page and "&gen ascii": a fresh draw over the main window's four pages.
void DecorateAllPages();

} // namespace Decorations
