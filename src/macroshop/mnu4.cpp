#include "mnu4.h"

#include "chattext/irccolors.h"
#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "platform/prompts.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QClipboard>

mnu4::mnu4()
{
    setObjectName("mnu4");
    setAccessibleName("Edit menu of the macro shop");
    auto editor = [] { return Forms::get<frmdraw>().Text1; };
    auto item = [this](const QString& caption, const QString& hint, auto run) {
        PushLabel* hintLabel = nullptr;
        PushLabel* label = addItem(caption, hint, &hintLabel);
        onClick(label, run);
        if (hintLabel)
            onClick(hintLabel, run);
    };
    item("&cut", "Ctrl + X", [editor] { editor()->cut(); });
    item("&copy", "Ctrl + C", [editor] { editor()->copy(); });
    item("&paste", "Ctrl + V", [editor] { editor()->paste(); });
    item("&copy all ", QString(), [editor] { QApplication::clipboard()->setText(editor()->text()); });
    item("copy for &IRC", QString(), [editor] {
        QStringList lines = editor()->text().split(QLatin1Char('\n'));
        for (QString& l : lines)
            if (l.endsWith(QLatin1Char('\r')))
                l.chop(1);
        while (lines.size() > 1 && lines.last().isEmpty())
            lines.removeLast();
        if (lines.join(QString()).trimmed().isEmpty()) {
            Prompts::messageBox("Nothing was copied: the macro is empty. The clipboard holds what it held.", "Copy for IRC");
            return;
        }
        QApplication::clipboard()->setText(IrcColors::forPaste(lines));
    });
    item("&select all", "Ctrl + A", [editor] {
        editor()->selectAll();
        editor()->setFocus();
    });
    // The keystroke Ctrl+Z to the editor: its own undo.
    item("&redo", "Ctrl + Z", [editor] { editor()->undo(); });
    finishLayout(2400);
}
