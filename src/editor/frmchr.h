#pragma once
#include "skin/skinnedform.h"

class MouseLabel;
class StringList;

// The floating character map: the character set in its given order; a click inserts the entry
// into the macro editor, a double click on the title closes the map.
class frmchr : public SkinnedForm {
    Q_OBJECT
public:
    frmchr();
    void Form_Load();

    MouseLabel* Label1; // title
    StringList* List1;

    void List1_Click(const QString& entry);
};
