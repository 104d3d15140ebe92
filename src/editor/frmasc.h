#pragma once
#include "skin/skinnedform.h"

class StringList;

// The character map docked to the left edge of the macro shop: the character set and nothing
// else, sorted; a click inserts the entry into the macro editor.
class frmasc : public SkinnedForm {
    Q_OBJECT
public:
    frmasc();
    void Form_Load();

    StringList* List1;

    void List1_Click(const QString& entry);
    void List1_MouseDown();
    // As high as the macro shop, its right edge on the macro shop's left edge.
    void DockBeside(const SkinnedForm& draw);
};
