#include "frmchr.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/stringlist.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

frmchr::frmchr()
{
    setObjectName("frmchr");
    setWindowTitle("Character Map");
    setAccessibleName("Character Map");
    resize(Twips::toPixels(3600), Twips::toPixels(3600));
    Label1 = new MouseLabel(" &Character Map [Double click to hide]", this);
    place(Label1, 0, 0, 3600, 240);
    List1 = new StringList(this, false);
    List1->setAccessibleName("characters");
    QFont f("Arial");
    f.setPointSizeF(9.75);
    List1->setFont(f);
    List1->setViewMode(QListView::IconMode);
    List1->setFlow(QListView::LeftToRight);
    List1->setWrapping(true);
    List1->setResizeMode(QListView::Adjust);
    List1->setMovement(QListView::Static);
    List1->setGridSize(QSize(30, 20));
    List1->AddCharacterSet();
    place(List1, 90, 330, 3420, 3180);
    attachTitleDrag(Label1);
    connect(Label1, &MouseLabel::doubleClicked, this, [] { Forms::unload<frmchr>(); });
    connect(List1, &StringList::entryClicked, this, &frmchr::List1_Click);
}

void frmchr::Form_Load()
{
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.title = Label1;
    skin.titleKey = "frmtitlebar";
    skin.textBoxes = {List1};
    ApplyDialogSkin(skin);
    moveTwips(0, 0);
}

void frmchr::List1_Click(const QString& entry)
{
    CommonKit::InsertAtCursor(entry, Forms::get<frmdraw>().Text1);
}
