#pragma once
#include <QKeyEvent>

// A key held down: the window system repeats its press. Qt marks a repeat only when the repeat's
// release and press stand together in its queue; a window busy between chat messages reads them
// apart, and each repeat then looks like a new press. This watch tells repeats by the window
// system's own mark, a release and a press of the same key at the same moment, and drops the
// repeats that would reach what the first press did not: another window's control (a box the
// press opened) or a mnemonic (Alt+letter).
namespace HeldKeys {

// Starts the application-wide watch; every skinned window does, once is enough.
void Watch();

// True when the press is a held key's repeat, however Qt marked it.
bool IsRepeat(const QKeyEvent* e);

} // namespace HeldKeys
