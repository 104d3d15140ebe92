#pragma once
#include "editor/pages.h"

#include <optional>

// Picking a page in the Options menu empties all four pages; one undo brings them back. A page's
// own undo goes first: once it has nothing left to undo and the pages are still empty, the next
// undo puts back the four pages as they were before the pick.
namespace PageUndo {

// Before a pick empties the pages (after: the pages the pick leaves), or a file handed over by a
// second launch replaces them. Pages that are all empty are nothing to bring back, so an earlier
// pick's pages stay remembered.
void Remember(const Pages::Four& before, const Pages::Four& after = {});
// The pages to put back when the pages now are still as the pick or file left them; then forgotten.
std::optional<Pages::Four> Take(const Pages::Four& now);
// Drops what was remembered (tests, and a start with new pages).
void Forget();

} // namespace PageUndo
