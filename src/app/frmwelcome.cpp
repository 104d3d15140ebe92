#include "frmwelcome.h"

#include "editor/frmmain.h"

#include "core/forms.h"
#include "help/artwork.h"
#include "help/helptexts.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QLabel>
#include <QPainter>

frmwelcome::frmwelcome()
{
    setObjectName("frmwelcome");
    // A panel of the main window: no task-bar entry, no place in the window switcher.
    setToolWindowOf([]() -> QWidget* { return Forms::loaded<frmmain>(); });
    setAccessibleName("welcome");
    resize(360, 240);
    Label1 = new MouseLabel("  &welcome to quorl ascii shop", this);
    place(Label1, 0, 0, 5400, 240);
    Label2 = new QLabel(HelpTexts::Welcome(), this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label2, 1620, 420, 3540, 2400);
    Image2 = new QLabel(this);
    Image2->setAccessibleName("welcome picture");
    QPixmap picture(80, 80);
    QPainter painter(&picture);
    Artwork::PaintWelcome(painter, picture.rect());
    painter.end();
    Image2->setPixmap(picture);
    place(Image2, 240, 480, 1200, 1200);
    Label3 = makeButton(Image1, "&Ok", 2130, 3060);
    connect(Label3, &PushLabel::clicked, this, [] { Forms::unload<frmwelcome>(); });
    attachTitleDrag(Label1);
}

void frmwelcome::Form_Load()
{
    ApplyDialogSkin({"frm2.bmp", {Image1}, Label1, "frm2titlebar", {Label2}, {}, {Label3}});
}
