#include "frmchr.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/stringlist.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QFontMetrics>
#include <algorithm>

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
    List1->setWordWrap(false);
    List1->setResizeMode(QListView::Adjust);
    List1->setMovement(QListView::Static);
    List1->AddCharacterSet();
    // Every cell holds the widest entry whole ("(\\/)", "<|-"): a cell too small shows it blank.
    const QFontMetrics metrics(List1->font());
    int widest = 0;
    for (int i = 0; i < List1->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(List1->entry(i)));
    const QSize cell(std::max(30, widest + 10), std::max(20, metrics.height() + 6));
    // The entry's own size would be measured for an icon's width; the cell is its size.
    List1->setCell(cell);
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
