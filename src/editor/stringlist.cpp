#include "stringlist.h"

#include "core/commonkit.h"
#include "editor/stringorder.h"

#include <algorithm>
#include <iterator>

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
    // A control character has no glyph a reader could say: its entry is told by its code.
    for (int row = 0; row < count(); ++row) {
        QListWidgetItem* entry = item(row);
        const QString text = entry->text();
        if (text.size() == 1 && text[0].category() == QChar::Other_Control)
            entry->setData(Qt::AccessibleTextRole, QStringLiteral("character %1").arg(text[0].unicode()));
    }
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

void StringList::AddStrings(QStringList add)
{
    if (!sorted_) {
        addItems(add);
        return;
    }
    // One sort and one merge, not a search and an insert per string: a string file of a
    // million lines loads in about a second. Each new string goes after its equals already
    // listed, and equal new strings keep their order, as if added one by one.
    StringOrder::Sort(add);
    const QStringList have = strings();
    QStringList merged;
    merged.reserve(have.size() + add.size());
    // The shorter list is looked up in the longer one: the character set goes into a million
    // strings with a few thousand comparisons.
    if (have.size() <= add.size()) {
        auto from = add.cbegin();
        for (const QString& h : have) {
            const auto to = std::lower_bound(from, add.cend(), h, StringOrder::Less);
            std::copy(from, to, std::back_inserter(merged));
            merged.append(h);
            from = to;
        }
        std::copy(from, add.cend(), std::back_inserter(merged));
    } else {
        auto from = have.cbegin();
        for (const QString& a : std::as_const(add)) {
            const auto to = std::upper_bound(from, have.cend(), a, StringOrder::Less);
            std::copy(from, to, std::back_inserter(merged));
            merged.append(a);
            from = to;
        }
        std::copy(from, have.cend(), std::back_inserter(merged));
    }
    setUpdatesEnabled(false);
    clear();
    addItems(merged);
    setUpdatesEnabled(true);
}

bool StringList::AddLinesOfFile(const QString& path)
{
    bool cut = false;
    QStringList lines = CommonKit::ReadLines(path, kMaxFileBytes, &cut);
    lines.removeAll(QString());
    AddStrings(std::move(lines));
    return !cut;
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
