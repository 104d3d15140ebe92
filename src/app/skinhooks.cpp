#include "skinhooks.h"

#include "chat/banners.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "app/frmart.h"
#include "skin/reskin.h"

namespace SkinHooks {

void Install()
{
    Reskin::Hooks hooks;
    // Shown again at each phase, so it stays in front.
    hooks.progress = [](const QString& status) {
        frmart& splash = Forms::get<frmart>();
        CommonKit::StayOnTop(&splash);
        splash.show();
        splash.raise();
        splash.setStatus(status);
    };
    hooks.endProgress = [] { Forms::unload<frmart>(); };
    hooks.announce = [] { Banners::Send(Banners::Occasion::SkinChanged); };
    Reskin::SetHooks(std::move(hooks));
}

} // namespace SkinHooks
