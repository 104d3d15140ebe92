#include "stringlist.h"

#include "core/commonkit.h"
#include "editor/stringorder.h"

StringList::StringList(QWidget* parent, bool sorted)
    : QListWidget(parent), sorted_(sorted)
{
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
}

void StringList::AddCharacterSet()
{
    // The set is already in order; it goes in as one block.
    addItems(StringOrder::CharacterSet());
}

int StringList::AddString(const QString& text)
{
    int row = count();
    if (sorted_) {
        // After equal strings, as a sorted list box places a repeated entry.
        int lo = 0, hi = count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (StringOrder::Compare(text, item(mid)->text()) < 0)
                hi = mid;
            else
                lo = mid + 1;
        }
        row = lo;
    }
    insertItem(row, text);
    return row;
}

void StringList::AddLinesOfFile(const QString& path)
{
    for (const QString& line : CommonKit::ReadLines(path))
        if (!line.isEmpty())
            AddString(line);
}

QStringList StringList::strings() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

void StringList::mousePressEvent(QMouseEvent* e)
{
    emit pressed();
    QListWidget::mousePressEvent(e);
}
