#pragma once
#include <QChar>
#include <QList>
#include <QString>

class MouseLabel;
class PushLabel;
class QWidget;

// The "&" letters of a window's push labels. A letter one label holds presses that label; a
// letter several labels share moves the focus from label to label, and Enter or Space presses
// the one reached.
namespace Mnemonics {

// "&Ok" -> 'O' (as typed); "&&" is no mnemonic. Null when the caption has none.
QChar letterOf(const QString& caption);

// The shown, enabled labels of window (its own, not those of other windows) whose letter is
// this one, either case, in the window's order of creation: push labels, and captions whose
// letter leads to a box beside them.
QList<MouseLabel*> labelsWith(QWidget* window, QChar letter);

// One press of the letter in window: presses the only label with it (a caption gives the focus
// to its box), or focuses the label (or box) after the focused one among several. False when no
// label of the window has the letter.
bool press(QWidget* window, QChar letter);

// Makes caption's letter lead to box, sharing the window's letters with its push labels.
void attachBuddy(MouseLabel* caption, QWidget* box);

} // namespace Mnemonics
