#include "mnu2.h"

#include "core/forms.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/macroshop.h"
#include "macroshop/mnu18.h"
#include "mail/mailkit.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

mnu2::mnu2()
{
    setObjectName("mnu2");
    setAccessibleName("Options menu of the macro shop");
    auto item = [this](int index, const QString& caption) {
        Label1[index] = addItem(caption);
        connect(Label1[index], &PushLabel::clicked, this, [this, index] { Label1_Click(index); });
    };
    item(0, "&new string");
    item(1, "&widen form by 30%");
    addSeparator();
    item(3, "&scroll macro");
    item(4, "&overhead scroll macro");
    addSeparator();
    item(5, "&clear macro");
    item(6, "&show char map");
    item(9, "&show char map2");
    item(7, "&macros");
    Label1[7]->setMouseTracking(true);
    connect(Label1[7], &MouseLabel::mouseMoved, this, [this] { ShowMacros(); });
    addSeparator();
    item(10, "&email macros");
    finishLayout(2400);
}

void mnu2::Label1_Click(int index)
{
    // The built-in list keeps this menu open; every other item closes it first.
    if (index == 7) {
        ShowMacros();
        return;
    }
    hide();
    frmdraw& draw = Forms::get<frmdraw>();
    switch (index) {
    case 0: MacroShop::NewString(); break;
    case 1: {
        const bool widen = Label1[1]->caption() == "&widen form by 30%";
        MacroShop::SetWide(widen);
        Label1[1]->setCaption(widen ? "&normal size" : "&widen form by 30%");
        break;
    }
    case 3: MacroShop::Scroll(false); break;
    case 4: MacroShop::Scroll(true); break;
    case 5: draw.Text1->clear(); break;
    case 6: {
        frmasc& map = Forms::get<frmasc>();
        map.DockBeside(draw);
        map.show();
        break;
    }
    case 9: Forms::get<frmchr>().show(); break;
    case 10: {
        QList<QPointer<QWidget>> shop{&draw};
        if (auto* map = Forms::loaded<frmasc>())
            shop << map;
        MailKit::EmailMacros(draw.Text1->toPlainText(), shop);
        break;
    }
    }
    if (auto* d = Forms::loaded<frmdraw>())
        d->ShowAgain();
}

void mnu2::ShowMacros()
{
    mnu18& list = Forms::get<mnu18>();
    if (list.isVisible())
        return;
    list.setOpener(Label1[7]);
    list.showAt(Left() + Width() - 120, Top() + Twips::fromPixels(Label1[7]->y()));
}

bool mnu2::mayHideOnFocusLoss() const
{
    const mnu18* list = Forms::loaded<mnu18>();
    return !(list && list->isVisible());
}

void mnu2::hideEvent(QHideEvent* e)
{
    if (auto* list = Forms::loaded<mnu18>())
        list->hide();
    PopupMenuForm::hideEvent(e);
}
