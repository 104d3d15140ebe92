#include "mnu3.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/storedstrings.h"
#include "skin/pushlabel.h"

mnu3::mnu3()
{
    setObjectName("mnu3");
    setAccessibleName("Strings menu of the macro shop");
    for (int i = 0; i < StoredStrings::kSlots; ++i) {
        PushLabel* hint = nullptr;
        Label1[i] = addItem(StoredStrings::kNone, StoredStrings::HintOf(i), &hint);
        Label1[13 + i] = hint;
    }
    for (int i = 0; i < 26; ++i)
        connect(Label1[i], &PushLabel::clicked, this, [this, i] { Label1_Click(i); });
    // The entries are filled before the menu paints itself from the skin.
    LoadStrings();
    finishLayout(3000);
}

void mnu3::LoadStrings() { setSlotStrings(StoredStrings::Load()); }

QString mnu3::slotString(int slot) const { return slot >= 0 && slot < 13 ? Label1[slot]->caption() : QString(); }

QStringList mnu3::slotStrings() const
{
    QStringList out;
    for (int i = 0; i < StoredStrings::kSlots; ++i)
        out << Label1[i]->caption();
    return out;
}

void mnu3::setSlotStrings(const QStringList& strings)
{
    for (int i = 0; i < StoredStrings::kSlots; ++i) {
        Label1[i]->setCaption(strings.value(i, StoredStrings::kNone));
        // Empty slots all read "none": a reader hears which slot it is.
        if (!StoredStrings::Inserts(Label1[i]->caption()))
            Label1[i]->setAccessibleName(QStringLiteral("string %1, empty").arg(i + 1));
    }
}

void mnu3::Label1_Click(int index)
{
    const QString caption = Label1[index]->caption();
    if (StoredStrings::Inserts(caption))
        CommonKit::InsertAtCursor(caption, Forms::get<frmdraw>().Text1);
    hide();
}
