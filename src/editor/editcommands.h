#pragma once
#include "editor/frmmain.h"

class QWidget;

// The Edit menu's commands on the main window's pages.
namespace EditCommands {

// Undo, cut, copy or paste on the page that had the focus when the menu opened (focused);
// nothing when that was not a page.
void SendKey(frmmain& main, QWidget* focused, frmmain::EditKey key);
// Deletes the selection of the active page, or selects all of it.
void DeleteSelection(frmmain& main);
void SelectAllActive(frmmain& main, bool moveFocus);
// The non-empty pages onto the clipboard; returns the text.
QString CopyAllFields(frmmain& main);
// The non-empty pages onto the clipboard as IRC text, one line a page; returns the text.
QString CopyForIrc(frmmain& main);

} // namespace EditCommands
