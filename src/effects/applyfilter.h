#pragma once
#include "effects/filtertarget.h"
#include "skin/skinnedform.h"

#include <QStringList>

class MouseLabel;
class PushLabel;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The filter chooser: lists the filter files of Filters/ by name and applies the chosen one to
// the text of the window that opened it. It stays open for another filter.
class applyfilter : public SkinnedForm {
    Q_OBJECT
public:
    applyfilter();
    void Form_Load();

    // Loads the chooser for this target and shows it.
    static applyfilter& Open(const FilterTarget& target);
    void setTarget(const FilterTarget& target) { target_ = target; }
    const FilterTarget& target() const { return target_; }

    MouseLabel* Label1;     // title, drag handle
    QTreeWidget* Filters;   // one column "Filter Name"
    // The file list: the folder and the *.FLT files in it, in the order of their names.
    QString FileboxPath;
    QStringList Filebox;
    QLabel* Image1;
    QLabel* Image3;
    PushLabel* Label3;      // "&Ok"
    PushLabel* Label4;      // "&Cancel"

    // The file an entry stands for ("" for "No Filters Found!").
    static QString entryFile(const QTreeWidgetItem* item);

    void Label3_Click();
    void Label4_Click();

private:
    void ListFilters();

    FilterTarget target_;
};
