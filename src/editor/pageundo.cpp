#include "pageundo.h"

#include <algorithm>
#include <utility>

namespace PageUndo {

namespace {
std::optional<Pages::Four> remembered;
Pages::Four left;

bool allEmpty(const Pages::Four& pages)
{
    return std::all_of(pages.begin(), pages.end(), [](const QString& p) { return p.isEmpty(); });
}
}

void Remember(const Pages::Four& before, const Pages::Four& after)
{
    if (!allEmpty(before) && before != after) {
        remembered = before;
        left = after;
    }
}

std::optional<Pages::Four> Take(const Pages::Four& now)
{
    // Pages typed or opened since the pick are the user's newer work: nothing is put over them.
    if (!remembered || now != left)
        return std::nullopt;
    return std::exchange(remembered, std::nullopt);
}

void Forget() { remembered.reset(); }

} // namespace PageUndo
