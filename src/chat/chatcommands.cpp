#include "chatcommands.h"

#include "chat/banners.h"
#include "chat/chatops.h"
#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/docking.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/pageedit.h"
#include "platform/prompts.h"
#include "skin/skinfolder.h"

#include <QPointer>

#include <climits>
#include <cmath>

namespace ChatCommands {

namespace {

constexpr double kPagePause = 0.4;
constexpr double kThanksPause = 0.6;

// Our own screen name, room and pages; nobody else's.
const char* const kScreenName = "QuorlShopkeep";
const char* const kRoomLink = "chat://2719:4-1207-quorl art den";
const char* const kWebAddresses[] = {
    "http://quorl.example/",
    "http://skins.quorl.example/",
    "http://gallery.quorl.example/",
};

const char* const kThanksHeader = " | <b>q</b>uorl <b>a</b>scii <b>s</b>hop \u00b9\u00b7\u00b9 | <b>s</b>crolling <b>g</b>reets |";

const char* const kCredits[] = {
    "| <b>C</b>redits <b>g</b>o <b>o</b>ut <b>t</b>o | ",
    "| <b>n</b>ightjar - code and the chat bits |",
    "| <b>T</b>avi <b>B</b>rennock - the slate dusk skin |",
    "| <b>t</b>he <b>b</b>eta <b>t</b>esters - for every crash they found |",
};

const char* const kGreets[] = {
    "| <b>S</b>ups <b>t</b>o | ",
    "| mosskit |",
    "| pebbleghost |",
    "| lantern_ox |",
    "| vireo |",
    "| quillpine |",
    "| duskmoth |",
    "|<font color=\"#C0C0C0\"> <b>a</b>nd <b>p</b>eeps <b>i</b> <b>c</b>ant <b>r</b>emember. |",
};

const char* const kMenuPrompt =
    "Please enter the menu number for the kill wait win. EX: Master client = 5, Regular client = 4";

template <std::size_t N> void scrollThanks(const char* const (&lines)[N])
{
    CommonKit::SendChatText(QString::fromUtf8(Banners::kFontTags) + QString::fromUtf8(kThanksHeader));
    CommonKit::Pause(kThanksPause);
    for (const char* line : lines) {
        CommonKit::SendChatText(QString::fromUtf8(line));
        CommonKit::Pause(kThanksPause);
    }
}

// The menu number as typed: its numeric prefix, rounded half to even; nothing numeric is 0.
int menuNumber(const QString& typed)
{
    const double n = std::nearbyint(SkinFolder::LenientNumber(typed));
    if (!(n >= INT_MIN && n <= INT_MAX))
        return 0;
    return int(n);
}

// The input box would sit under the topmost stack, so the stack steps aside while it asks.
QString askMenuNumber()
{
    Docking::StepAside aside;
    return Prompts::inputBox(QString::fromUtf8(kMenuPrompt), QStringLiteral("Menu"), QStringLiteral("4"));
}

} // namespace

void ScrollAllPages()
{
    // Pauses run events; the main window may go away in one, and then the scroll ends.
    QPointer<frmmain> main = &Forms::get<frmmain>();
    CommonKit::ScrollEnd end;
    for (int n = 1; n <= 4; ++n)
        end.count += main->page(n)->text().isEmpty() ? 0 : 1;
    // One operation: a client given up over one page is not waited on for the next.
    ChatBus::Operation whole(CommonKit::ScrollOperationSeconds);
    CommonKit::ScrollWatch watch;
    for (int n = 1; n <= 4 && main; ++n) {
        const QString text = main->page(n)->text();
        if (text.isEmpty())
            continue;
        if (!watch.before(&end) || !watch.after(CommonKit::SendChatText(text), &end)) {
            Prompts::messageBox(CommonKit::ScrollEndSentence(end, QStringLiteral("page scroll"), QStringLiteral("pages"),
                                                             QStringLiteral("the other pages were not sent")),
                                QStringLiteral("GLY"), Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            return;
        }
        CommonKit::Pause(kPagePause);
    }
}

void ScrollGreets() { scrollThanks(kGreets); }

void ScrollCredits() { scrollThanks(kCredits); }

void AdvertizeFromPanel() { Banners::Send(Banners::Occasion::AdvertizePanel); }

void AdvertizeFromMenu() { Banners::Send(Banners::Occasion::AdvertizeMenu); }

void KillWait()
{
    if (CommonKit::Setting("MENU").isEmpty())
        CommonKit::SetSetting("MENU", askMenuNumber());
    CommonKit::RunMenuCommand(menuNumber(CommonKit::Setting("MENU")), 10);
    CommonKit::ClickWaitWindow();
}

void ImMe(const QString& message) { CommonKit::SendInstantMessage(QString::fromUtf8(kScreenName), message); }

void PrGly() { CommonKit::RunKeyword(QString::fromUtf8(kRoomLink)); }

QString WebAddress(int n)
{
    if (n < 0 || n >= int(std::size(kWebAddresses)))
        return {};
    return QString::fromUtf8(kWebAddresses[n]);
}

void OpenWebAddress(int n)
{
    const QString address = WebAddress(n);
    if (!address.isEmpty())
        CommonKit::RunKeyword(address);
}

void ShowLinkDialog()
{
    frmlink& dialog = Forms::get<frmlink>();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

} // namespace ChatCommands
