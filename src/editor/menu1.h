#pragma once
#include "editor/mru.h"
#include "skin/popupmenuform.h"

#include <array>

// The Files menu of the main window.
class menu1 : public PopupMenuForm {
    Q_OBJECT
public:
    menu1();

    // The three recent-file items; the path is the item's tag.
    std::array<PushLabel*, 3> mru{};
    PushLabel* rollItem = nullptr;

    QString rollCaption() const;
    void setRollCaption(const QString& caption);
    // Shows the recent-files list: captions are the names, tags the paths.
    void DisplayMRU();
    void ShowMru(const Mru::List& list);
};
