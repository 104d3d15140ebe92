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

QString HelpTopics()
{
    return QString::fromUtf8(
        "Files: new, open and save ascii files (four lines, one per page); the last three files "
        "you used are listed for a quick reopen.\n\n"
        "Options: choose the pages in use, decorate with gen ascii (Ctrl+B), scroll into the chat, "
        "insert a link, edit your handle.\n\n"
        "Edit: undo, cut, copy and paste act on the page you were typing in; copy all fields puts the "
        "filled pages on the clipboard.\n\n"
        "Drag the window by its title; double-click the title to roll it up. The indicator under the "
        "window shows the window position, the caret and the page.");
}

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
    return QString::fromUtf8("Beta testers: the beta circle, who broke every build so you didn't have to.");
}

QString PersonalNote(int n)
{
    return n == 1 ? QString::fromUtf8("A note from the crew: keep it friendly in the rooms, and keep making art.")
                  : QString::fromUtf8("And another: if something breaks, report it from the other options menu.");
}

} // namespace HelpTexts
