#include "reskin.h"

#include "chat/ops.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/pageedit.h"
#include "skin/pushlabel.h"
#include "platform/twips.h"
#include "skin/skinfolder.h"

#include <QListWidget>

namespace Reskin {

void StartupPictures()
{
    const QString s = SkinFolder::ResolveSkinFolder();
    Forms::get<frmmain>().setBackground(s + "iface.bmp");
    if (auto* r = Forms::loaded<frmrect>())
        r->setBackground(s + "frmrect.bmp");
    if (auto* o = Forms::loaded<ops>())
        o->setBackground(s + "ops.bmp");
}

void StartupColours()
{
    const QString s = SkinFolder::ResolveSkinFolder();
    frmmain& main = Forms::get<frmmain>();
    const QColor bg = SkinFolder::ColourFromValue(SkinFolder::Value(s, "textbg"));
    const QColor fg = SkinFolder::ColourFromValue(SkinFolder::Value(s, "textfore"));
    SkinnedForm::setBoxColours(main.List1, bg, fg);
    for (int n = 1; n <= 4; ++n)
        SkinnedForm::setBoxColours(main.page(n), bg, fg);
    const QColor menubar = SkinFolder::ColourFromValue(SkinFolder::Value(s, "menubar"));
    const QString face = SkinFolder::Value(s, "menubarfont");
    // top is a strict number of twips; a skin without it keeps the designed place.
    bool topOk = false;
    const double top = SkinFolder::Value(s, "top").toDouble(&topOk);
    for (PushLabel* l : {main.Label2, main.Label3, main.Label4, main.Label5}) {
        SkinnedForm::setTextColour(l, menubar);
        if (!face.isEmpty()) {
            QFont f = l->font();
            f.setFamily(face);
            l->setFont(f);
        }
        if (topOk)
            l->move(l->x(), Twips::toPixels(top));
    }
    if (auto* r = Forms::loaded<frmrect>())
        r->ApplySkin();
}

} // namespace Reskin
