#include "decorations.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/pageedit.h"
#include "platform/codepage.h"
#include "platform/random.h"

#include <QLineEdit>
#include <cmath>

namespace Decorations {

namespace {

// Windows-1252 bytes of each side; number 10 is empty on purpose.
struct RawPair {
    const char* left;
    const char* right;
};
constexpr RawPair kTable[15] = {
    {"\xA4\x95", "\x95\xA4"},
    {"\x8B\xAB\x96", "\x96\x9B\xBB"},
    {"\x95\xF7\xB7", "\xB7\xF7\x95"},
    {"\xB4\xAF\x60\xB7\x2E", "\x2E\xB7\xB4\xAF\x60"},
    {"\xF7\xD7\xA4", "\xA4\xD7\xF7"},
    {"\x8B\x95\x2E", "\x2E\x95\x9B"},
    {"\xA6\xF7\xB7", "\xB7\xF7\xA6"},
    {"\xF8\xBA\x95\xB7", "\xB7\x95\xBA\xF8"},
    {"\xAA\xB0\xB7", "\xB7\xB0\xAA"},
    {nullptr, nullptr},
    {"\xA5\xF7\xB7", "\xB7\xF7\xA5"},
    {"\xB1\xA5\x2D", "\x2D\xA5\xB1"},
    {"\x8B\xB1\x9B\xB7", "\xB7\x8B\xB1\x9B"},
    {"\xF7\xB1\xBB", "\xAB\xB1\xF7"},
    {"\x28\xAF\x60\xB7\x2E\x5F\x29", "\x28\xAF\x60\xB7\x2E\x5F\x29"},
};

} // namespace

std::optional<Pair> PairFor(int k)
{
    if (k < 1 || k > 15 || !kTable[k - 1].left)
        return std::nullopt;
    return Pair{CodePage::toUnicode(kTable[k - 1].left), CodePage::toUnicode(kTable[k - 1].right)};
}

int Draw()
{
    Random::reseed();
    return int(std::floor(Random::draw() * 15));
}

void Decorate(const std::array<QLineEdit*, 4>& pages, int k)
{
    const std::optional<Pair> pair = PairFor(k);
    if (!pair)
        return;
    for (QLineEdit* page : pages) {
        page->setCursorPosition(0);
        CommonKit::InsertAtCursor(pair->left, page);
        page->setCursorPosition(int(page->text().size()));
        CommonKit::InsertAtCursor(pair->right, page);
    }
}

void DecorateAllPages()
{
    frmmain& main = Forms::get<frmmain>();
    Decorate({main.Text1, main.Text2, main.Text3, main.Text4}, Draw());
}

} // namespace Decorations
