#include "frmasc.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/stringlist.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "platform/twips.h"

namespace {
constexpr int kWidth = 1440;
}

frmasc::frmasc()
{
    setObjectName("frmasc");
    setWindowTitle("character map");
    // The big map is "Character Map"; a reader tells the two apart by more than case.
    setAccessibleName("small character map");
    List1 = new StringList(this);
    List1->setAccessibleName("characters");
    List1->setFont(QFont("Arial", 9));
    List1->setToolTip("DOUBLE CLICK FOR BIGGER MAP!");
    List1->AddCharacterSet();
    resize(Twips::toPixels(kWidth), Twips::toPixels(6000));
    connect(List1, &StringList::entryClicked, this, &frmasc::List1_Click);
    connect(List1, &StringList::pressed, this, &frmasc::List1_MouseDown);
}

void frmasc::Form_Load()
{
    DialogSkin skin;
    skin.background = "extra.bmp";
    skin.textBoxes = {List1};
    skin.centre = false;
    ApplyDialogSkin(skin);
    DockBeside(Forms::get<frmdraw>());
}

void frmasc::DockBeside(const SkinnedForm& draw)
{
    resize(Twips::toPixels(kWidth), draw.height());
    List1->setGeometry(0, 0, width(), height());
    moveTwips(draw.Left() - Width(), draw.Top());
}

void frmasc::List1_Click(const QString& entry)
{
    CommonKit::InsertAtCursor(entry, Forms::get<frmdraw>().Text1);
}

void frmasc::List1_MouseDown()
{
    CommonKit::StayOnTop(this);
    CommonKit::StayOnTop(&Forms::get<frmdraw>());
}
