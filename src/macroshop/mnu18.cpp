#include "mnu18.h"

#include "core/forms.h"
#include "macroshop/macroshop.h"
#include "macroshop/mnu2.h"
#include "skin/pushlabel.h"

namespace {
const char* const kCaptions[mnu18::kCount] = {
    "&beavis", "&rose",      "&skull", "&felix",     "&ghetto kitty", "&dragon", "&mullet", "&spray",  "&yogi",
    "&sonic",  "&spawn",     "&spiderman", "&fireman", "&frog",       "&garfield", "&gohan", "&castle", "&rocket",
};
}

QString mnu18::Caption(int index) { return QString::fromLatin1(kCaptions[index]); }

mnu18::mnu18()
{
    setObjectName("mnu18");
    setAccessibleName("macros menu of the macro shop");
    for (int i = 0; i < kCount; ++i) {
        Label1[i] = addItem(Caption(i));
        connect(Label1[i], &PushLabel::clicked, this, [this, i] { Label1_Click(i); });
    }
    finishLayout(2100);
}

void mnu18::Label1_Click(int index)
{
    MacroShop::LoadBuiltin(Label1[index]->caption());
    hide();
    if (auto* options = Forms::loaded<mnu2>())
        options->hide();
}
