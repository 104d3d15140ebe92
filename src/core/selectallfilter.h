#pragma once

class QLineEdit;

// Ctrl+A (character code 1) in a dialog's one-line box selects its whole text.
namespace SelectAllFilter {
void install(QLineEdit* box);
}
