#pragma once
#include <QStringList>

// The thirteen stored strings of the macro shop (slots 0..12 for F1..F12 and Esc), kept in the
// per-user store, application "GLY", section "Strings", values "String1".."String13".
namespace StoredStrings {

constexpr int kSlots = 13;
// The placeholder of an empty slot.
extern const char* const kNone;

QStringList Load();
// False when the store could not be written.
bool Save(const QStringList& entries);
// The lowest slot whose string begins with "&none" (exactly), or -1 when all are used.
int FreeSlot(const QStringList& entries);
// A caption inserts unless it is an empty slot ("&none" in any case) or a hint label.
bool Inserts(const QString& caption);
// The hint label of a slot: "F1".."F12", "ESC".
QString HintOf(int slot);

} // namespace StoredStrings
