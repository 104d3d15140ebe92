#pragma once
#include "editor/mru.h"
#include "skin/popupmenuform.h"

#include <array>

// The Files menu of the macro shop. Items by index: 0 open, 1 save, 2 clear, 3-5 the recent
// files, 6 minimize, 7 exit, 8 print, 9 new.
class mnu1 : public PopupMenuForm {
    Q_OBJECT
public:
    mnu1();

    std::array<PushLabel*, 10> Label1{};

    // The recent files from the store: captions the names, tags the paths.
    void DisplayMRU();
    void ShowMru(const Mru::List& list);
    void Label1_Click(int index);
};
