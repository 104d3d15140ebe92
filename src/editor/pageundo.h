#pragma once
#include "editor/pages.h"

#include <optional>

// Picking a page in the Options menu empties all four pages; one undo brings them back. A page's
// own undo goes first: once it has nothing left to undo and the pages are still empty, the next
// undo puts back the four pages as they were before the pick.
namespace PageUndo {

// Before a pick empties the pages. Pages that are all empty are nothing to bring back, so an
// earlier pick's pages stay remembered.
void Remember(const Pages::Four& before);
// The pages to put back when the pages now are empty and a pick was remembered; then forgotten.
std::optional<Pages::Four> Take(const Pages::Four& now);
// Drops what was remembered (tests, and a start with new pages).
void Forget();

} // namespace PageUndo
