#include "helptexts.h"

namespace HelpTexts {

QString AboutParagraph()
{
    return QString::fromUtf8(
        "quorl ascii shop \u00b9\u00b7\u00b9 is a small workshop for text art. Four art pages hold a piece "
        "line by line; the macro shop holds larger ones. Decorate, fade and filter your art, save it, "
        "and scroll it into the chat room with one click.");
}

QString ReadMe()
{
    return QString::fromUtf8(
        "Welcome to quorl ascii shop.\r\n"
        "\r\n"
        "Pick the pages you want to use from the Options menu (text1 to text4, or all textboxes).\r\n"
        "Type or paste your art, one line per page. Ctrl+B wraps every page in a random ornament.\r\n"
        "The string list beside the pages inserts ornaments at the caret of the active page.\r\n"
        "Open the options panel with the arrow on the indicator under the main window; \"scroll ascii\"\r\n"
        "sends every filled page into the chat room, one message a page.\r\n"
        "\r\n"
        "Your pages are kept in the output folder when you quit and come back when you start again.\r\n"
        "Settings live in quorl.ini beside the program; skins live in the skins folder.");
}

QString Welcome()
{
    return QString::fromUtf8(
        "Thanks for trying quorl ascii shop!\n\n"
        "Start by picking a page in the Options menu, then type some art. The arrow on the bar "
        "under the window opens the chat commands. Help sits behind the ? button.");
}

QList<Topic> Topics()
{
    auto t = [](const char* heading, const char* text) { return Topic{QString::fromUtf8(heading), QString::fromUtf8(text)}; };
    return {
        t("The main window",
          "The small window with the four art pages, one line each, and the string list beside them. Drag it by "
          "its title; double-click the title to roll it up to its caption strip and again to roll it down. The "
          "buttons at the right of the title are help (this window), minimize and close. Closing asks first; "
          "your pages are kept either way and come back at the next start."),
        t("The indicator and the options panel",
          "The bar under the main window shows where the window stands (in pixels), the caret and the page you "
          "are on, the time and how many times the shop was started. Its arrow opens and closes the options "
          "panel: scroll ascii sends every filled page into the chat room, one message a page; lock boxes "
          "makes the pages read-only; upchat and kill wait help while a file is uploading; macro shop opens "
          "the macro shop; close quits."),
        t("Files menu",
          "new, open and save ascii files (four lines, one per page); the last three files you used, and clear "
          "MRU to forget them; roll up or down; minimize; min to tray hides the windows to the tray icon (where "
          "the desktop has no tray the windows are minimized instead); load skin; the intro art, about, greets "
          "and credits; close quits without asking."),
        t("Options menu",
          "text1 to text4 pick the pages in use (a tick shows each one in use) and make the last one picked the "
          "active page; all textboxes uses all four. gen ascii (Ctrl+B) wraps every page in a random ornament "
          "pair. scroll and advertize send into the chat room; insert link puts a link on the clipboard; html "
          "fader colours the pages; macros shop opens the macro shop; edit handle changes your name; load on "
          "startup starts the shop when you log in; reset all to default puts the settings back. other options "
          "holds the scrolled greets and credits, add ascii string, email me, report bug, im me, the beta "
          "testers and three web addresses."),
        t("Edit menu",
          "undo, cut, copy and paste act on the page you were typing in; delete clears its selection; select "
          "all (Ctrl+A) selects the active page; copy all fields puts the filled pages on the clipboard."),
        t("Help menu",
          "help topics opens this window; about, credits and the about-skin box tell who made the shop and "
          "its skin."),
        t("The window menu",
          "A right-click on the title opens it: move, minimize, minimize to tray and close."),
        t("The string list and the character maps",
          "A click in the string list inserts that string at the caret of the active page. Stored strings are "
          "kept in ascii/asc.asc. The two character maps beside the macro shop insert any character; F1 to F12 "
          "and Esc in the macro shop insert the thirteen strings of its Strings menu."),
        t("The macro shop",
          "A bigger editor for art of many lines (macros, .mcr files). Files: open, save, clear, new, print and "
          "the last three macros. Options: new string, widen the window, scroll macro (line by line at a steady "
          "pace) and overhead scroll macro (faster), clear, the two character maps, the built-in macros and "
          "email macros. Strings: the thirteen F-key strings. Edit: cut, copy, paste, copy all, select all and "
          "undo. Filters: apply a filter file to the macro."),
        t("The fader",
          "html fader in the Options menu opens it: pick two or three colours, and every page is rewritten so "
          "that each character carries its own colour, running smoothly from the first colour to the last. "
          "Wave makes the letters go up and down."),
        t("Filters",
          "A filter is a small text file of search-and-replace rules in the Filters folder (*.FLT). Pick one "
          "from the macro shop's Filters label and it rewrites the whole macro, for example light shading for "
          "dark."),
        t("Mail",
          "email me and report bug (under other options) send a comment or a bug report through a mail relay; "
          "mail ascii and email macros send your pages or your macro to an address you type. Sending takes "
          "about half a minute; the shop tells you whether it went."),
        t("Skins",
          "Every window is drawn from a skin: a folder of pictures and a skin.ini in the skins folder. load "
          "skin picks another folder and redraws the open windows; about skin shows the skin's name, artist, "
          "rating and comment."),
        t("The tray icon",
          "While the shop runs its icon sits in the desktop's tray. A click on it brings the windows back; its "
          "menu holds the read-me, advertize, the testers, credits and greets, the about boxes, Maximize (the "
          "windows again) and Exit, which keeps your pages as every quit does."),
        t("Files and the desktop",
          "The shop registers .gly (art) and .mcr (macro) files with your desktop, so opening one starts the "
          "shop with it. Your pages are kept in the output folder; the settings live in quorl.ini beside the "
          "program."),
    };
}

QString HelpTopics()
{
    QString text;
    for (const Topic& topic : Topics()) {
        if (!text.isEmpty())
            text += "\n\n";
        text += topic.heading + "\n" + topic.text;
    }
    return text;
}

QString AboutMaker()
{
    return QString::fromUtf8("quorl ascii shop is made by the quorl crew, a few people who like lining up "
                             "characters after dark. Ideas and art are welcome: use email me under other options.");
}

QString CoAuthorCaption() { return QString::fromUtf8("co-written by the night shift"); }

QString IntroArt()
{
    return QString::fromUtf8(
        "   \u00b7\u00b4\u00af`\u00b7.\u00b8\u00b8.\u00b7\u00b4\u00af`\u00b7.\n"
        "  \u00ab  q u o r l  \u00bb\n"
        "   \u00b7.\u00b8\u00b8.\u00b7\u00b4\u00af`\u00b7.\u00b8\u00b8.\u00b7\n"
        "  \u2039 ascii shop \u203a\n");
}

QString Greets()
{
    return QString::fromUtf8("Greets go out to everyone who scrolled with us: the night-shift crew, the "
                             "lobby regulars, and every artist who ever lined up a border by hand.");
}

QString Credits()
{
    return QString::fromUtf8("Code: the quorl crew.\nSkin \"Slate Dusk\": Tavi Brennock.\nTesting: the beta "
                             "circle.\nThanks to everyone who sent art and bug reports.");
}

QString BetaTesters()
{
    return QString::fromUtf8("The beta circle broke every build so you did not have to:\n\n"
                             "  lowtide\n  pixelmoth\n  ninebyte\n  saltwire\n  quietkey\n  driftglass\n\n"
                             "Found something? report bug under other options.");
}

QString PersonalNote(int n)
{
    return n == 1 ? QString::fromUtf8("A note from the crew: keep it friendly in the rooms, and keep making art.")
                  : QString::fromUtf8("And another: if something breaks, report it from the other options menu.");
}

} // namespace HelpTexts
