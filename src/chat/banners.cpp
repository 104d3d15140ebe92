#include "banners.h"

#include "chat/chatops.h"
#include "core/commonkit.h"
#include "skin/skinfolder.h"

namespace Banners {

const char* const kFontTags = "<font color=\"#C0C0C0\"><font face=\"arial\"> ";
const char* const kShopName = "<b>q</b>uorl <b>a</b>scii <b>s</b>hop \u00b9\u00b7\u00b9";

namespace {

// Download addresses of the release archives.
const char* const kPublicRelease = "http://quorl.example/get/quorl-public6.zip";
const char* const kBetaRelease = "http://quorl.example/get/quorl-beta5.zip";
const char* const kWillowEdition = "http://quorl.example/get/quorl-willow.zip";
// The co-maker's nickname, bold initial first.
const char* const kCoMaker = "<b>n</b>ightjar";
const char* const kLinkTail = "<font color=\"#C0C0C0\"><b>download!</b><font color=\"#C0C0C0\"> |</a>";

QString u(const char* s) { return QString::fromUtf8(s); }

QString line(const QString& ornament, const QString& body) { return u(kFontTags) + ornament + body; }

QString shopBody(const char* rest) { return " | " + u(kShopName) + u(rest); }

QString userLine(const QString& ornament, const QString& handle, const char* address)
{
    return line(ornament, " | <b>q</b>uorl | " + u(kCoMaker) + " | <b>u</b>ser:<b> " + handle +
                              " </b>| < a href=\"" + u(address) + "\">" + u(kLinkTail));
}

Banner advertize(const QString& ornament, const char* firstBody)
{
    return {
        {line(ornament, shopBody(firstBody)), true, 0.1},
        {line(ornament, " | < a href=\"" + u(kPublicRelease) + "\">" +
                            "<font color=\"#C0C0C0\"><b>download!</b><font color=\"#C0C0C0\"> | " + u(kShopName) +
                            " |</a>"),
         true, 0},
    };
}

} // namespace

QString Escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'&': out += QLatin1String("&amp;"); break;
        default: out += c;
        }
    }
    return out;
}

Banner Build(Occasion occasion, const QString& rawOrnament, const QString& rawHandle, const QString& rawSkinName,
             const QString& rawSkinArtist)
{
    const QString ornament = Escape(rawOrnament), handle = Escape(rawHandle), skinName = Escape(rawSkinName),
                  skinArtist = Escape(rawSkinArtist);
    switch (occasion) {
    case Occasion::AdvertizePanel:
        return advertize(ornament, " | <b>a</b>dvertize |  <b>p</b>ublic <b>6</b>  |");
    case Occasion::AdvertizeMenu:
        return advertize(ornament, " | <b>a</b>vertize |  <b>p</b>ublic <b>6</b>  |");
    case Occasion::MacroShopLoad:
        return {{line(ornament, shopBody(" | <b>m</b>acro <b>s</b>hop | <b>l</b>oad |")), true, 0.1}};
    case Occasion::MacroShopUnload:
        return {{line(ornament, shopBody(" | <b>m</b>acro <b>s</b>hop | <b>u</b>nload |")), true, 0.1}};
    case Occasion::Incoming:
        return {{u(kFontTags) + shopBody(" | <b>INCOMING!</b> | beta 4.1 |"), true, 0}};
    case Occasion::Load:
        return {
            {line(ornament, shopBody(" | <b>l</b>oad | <b>p</b>ublic <b>6</b> |")), true, 0.1},
            {userLine(ornament, handle, kPublicRelease), true, 0.2},
            {line(ornament, " | <b>u</b>sing <b>s</b>kin: <b>" + skinName + " by " + skinArtist + " | "), true, 0},
        };
    case Occasion::UnloadCloseButton:
        return {
            {line(ornament, shopBody(" | <b>u</b>nload |  <b>p</b>ublic <b>6</b>  |")), true, 0.1},
            {userLine(ornament, handle, kPublicRelease), true, 0.1},
        };
    case Occasion::UnloadPanel:
        return {
            {line(ornament, shopBody(" | <b>u</b>nload | [p] beta 5 |")), true, 0.1},
            {userLine(ornament, handle, kBetaRelease), true, 0.1},
        };
    case Occasion::UnloadMenu:
        return {
            {line(ornament, shopBody(" | <b>u</b>nload | <b>w</b>illow <b>e</b>dition |")), true, 0.1},
            {userLine(ornament, handle, kWillowEdition), true, 0},
        };
    case Occasion::SkinChanged:
        return {
            {line(ornament, shopBody(" | [p] beta 5 |")), true, 0.1},
            {line(ornament, " | <b>s</b>kin <b>c</b>hanged <b>t</b>o: <b>" + skinName + " |"), true, 0.1},
            {line(ornament, " | <b>s</b>kin <b>b</b>y: <b>" + skinArtist + "</b> |"), true, 0.1},
        };
    case Occasion::TrayAdvertize: {
        const QString plainTags = "<font face=\"arial\"> ";
        return {
            {line(ornament, shopBody(" | <b>a</b>dvertizing | beta 4.1 |")), false, 0.1},
            {line(ornament, " | <b>d</b>ownload | " + u(kShopName) + " |"), false, 0},
            {plainTags + ornament + u(" | quorl ascii shop \u00b9\u00b7\u00b9 | advertizing | beta 4.1 |"), true, 0.1},
            {plainTags + ornament + u(" | download | quorl ascii shop \u00b9\u00b7\u00b9 |"), true, 0},
        };
    }
    }
    return {};
}

void Send(const Banner& banner)
{
    for (const Line& l : banner) {
        if (l.any)
            CommonKit::SendChatTextAny(l.text);
        else
            CommonKit::SendChatText(l.text);
        CommonKit::Pause(l.wait);
    }
}

void Send(Occasion occasion)
{
    const QString ornament = CommonKit::Setting("ASCII");
    const QString handle = CommonKit::Setting("HANDLE");
    QString name, artist;
    if (occasion == Occasion::Load || occasion == Occasion::SkinChanged) {
        const QString s = SkinFolder::ResolveSkinFolder();
        name = SkinFolder::Value(s, "name");
        artist = SkinFolder::Value(s, "artist");
    }
    Send(Build(occasion, ornament, handle, name, artist));
}

} // namespace Banners
