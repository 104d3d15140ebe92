#include "editcommands.h"

#include "chattext/irccolors.h"
#include "editor/pageedit.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QClipboard>

namespace EditCommands {

void SendKey(frmmain& main, QWidget* focused, frmmain::EditKey key)
{
    auto* p = qobject_cast<PageEdit*>(focused);
    bool isPage = false;
    for (int n = 1; n <= 4; ++n)
        isPage = isPage || main.page(n) == p;
    if (!p || !isPage) {
        // A page pick emptied every page, so its undo needs no page of its own.
        if (key == frmmain::EditKey::Undo)
            main.UndoPagePick();
        return;
    }
    // The press that opened the menu took the focus from the page, and with it the selection.
    p->restoreSelection();
    using K = frmmain::EditKey;
    switch (key) {
    case K::Undo:
        if (p->isUndoAvailable())
            p->undo();
        else
            main.UndoPagePick();
        break;
    case K::Cut: p->cut(); break;
    case K::Copy: p->copy(); break;
    case K::Paste: p->pasteLine(); break;
    }
    // As the keystroke would have left it: the page keeps the focus.
    if (main.isVisible())
        p->setFocus();
}

void DeleteSelection(frmmain& main)
{
    for (int n = 1; n <= 4; ++n) {
        if (!main.pageTimer[n - 1])
            continue;
        main.page(n)->restoreSelection();
        if (main.page(n)->hasSelectedText())
            main.page(n)->del();
    }
}

void SelectAllActive(frmmain& main, bool moveFocus)
{
    for (int n = 1; n <= 4; ++n) {
        if (!main.pageTimer[n - 1])
            continue;
        main.page(n)->setSelection(0, int(main.page(n)->text().size()));
        if (moveFocus)
            main.page(n)->setFocus();
    }
}

QString CopyAllFields(frmmain& main)
{
    const QString text = Pages::CopyAllFieldsText(main.pageTexts());
    QApplication::clipboard()->setText(text);
    return text;
}

QString CopyForIrc(frmmain& main)
{
    QStringList pages;
    for (const QString& page : main.pageTexts())
        if (!page.isEmpty())
            pages << page;
    // Empty pages leave what the clipboard holds as it is.
    if (pages.isEmpty()) {
        Prompts::messageBox("Nothing was copied: every page is empty. The clipboard holds what it held.", "Copy for IRC");
        return {};
    }
    const QString text = IrcColors::forPaste(pages);
    QApplication::clipboard()->setText(text);
    return text;
}

} // namespace EditCommands
