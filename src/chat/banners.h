#pragma once
#include <QList>
#include <QString>

// The chat banners: one to four lines of HTML, each font tags + ornament + body, sent into the
// chat room on fixed occasions with short waits between them.
namespace Banners {

struct Line {
    QString text;
    bool any = true;     // sent with SendChatTextAny, else SendChatText
    double wait = 0;     // pause after the line, seconds
};
using Banner = QList<Line>;

enum class Occasion {
    AdvertizePanel,     // "&advertize" of the options panel
    AdvertizeMenu,      // "&advertize" of the Options menu
    MacroShopLoad,
    MacroShopUnload,
    Incoming,           // before a macro scroll
    Load,               // start-up
    UnloadCloseButton,  // the main window's close button
    UnloadPanel,        // "&close" of the options panel
    UnloadMenu,         // "&close" of the Files menu or the window menu
    SkinChanged,
    TrayAdvertize,
};

extern const char* const kFontTags;
extern const char* const kShopName;

// Text from outside (a skin, the settings file, a peer) as a room shows it: "<", ">" and "&"
// written as entities, so it reads as text and never opens a tag or a link.
QString Escape(const QString& text);

// The lines of a banner for the given ornament, handle and skin name and artist; those four are
// outside text and go in escaped, the banner's own markup as written.
Banner Build(Occasion occasion, const QString& ornament, const QString& handle = {},
             const QString& skinName = {}, const QString& skinArtist = {});
// Sends the lines in order with their waits.
void Send(const Banner& banner);
// Builds the banner from the current settings (ASCII, HANDLE, the skin's name and artist) and sends it.
void Send(Occasion occasion);

} // namespace Banners
