#pragma once

// Wires a skin change to the windows above the skin layer: the splash shows the phases and the
// chat room hears of the new skin.
namespace SkinHooks {

void Install();

} // namespace SkinHooks
