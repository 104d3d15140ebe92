#include "stringlist.h"

#include "core/commonkit.h"
#include "editor/stringorder.h"
#include "platform/prompts.h"

#include <QEvent>
#include <algorithm>
#include <iterator>

int StringListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(strings_.size());
}

QVariant StringListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= strings_.size())
        return {};
    if (role == Qt::DisplayRole) {
        // A row shows the start of a huge entry: the list lays out what it shows on every paint.
        const QString& s = strings_[index.row()];
        if (s.size() > ShownCharacters)
            return QString(s.constData(), ShownCharacters) + QChar(0x2026);
        return entry(index.row());
    }
    if (role == Qt::SizeHintRole && cell_.isValid())
        return cell_;
    if (role == Qt::TextAlignmentRole && cell_.isValid())
        return int(Qt::AlignCenter);
    if (role == Qt::AccessibleTextRole) {
        // A control character has no glyph a reader could say: its entry is told by its code.
        const QString& text = strings_[index.row()];
        if (text.size() == 1 && text[0].category() == QChar::Other_Control)
            return QStringLiteral("character %1").arg(text[0].unicode());
        return data(index, Qt::DisplayRole);
    }
    return {};
}

QString StringListModel::entry(int row) const
{
    if (row < 0 || row >= strings_.size())
        return {};
    // A copy of the characters: what leaves the model never looks into its kept text.
    const QString& s = strings_[row];
    return QString(s.constData(), s.size());
}

void StringListModel::insert(int row, const QString& text)
{
    beginInsertRows({}, row, row);
    strings_.insert(row, text);
    endInsertRows();
}

void StringListModel::append(const QStringList& more)
{
    if (more.isEmpty())
        return;
    beginInsertRows({}, int(strings_.size()), int(strings_.size() + more.size() - 1));
    strings_ += more;
    endInsertRows();
}

void StringListModel::replace(QStringList all)
{
    beginResetModel();
    strings_ = std::move(all);
    endResetModel();
}

StringList::StringList(QWidget* parent, bool sorted)
    : QListView(parent), model_(new StringListModel(this)), sorted_(sorted)
{
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setModel(model_);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& i) { emit entryClicked(entry(i.row())); });
}

void StringList::setCell(QSize cell)
{
    model_->setCell(cell);
    setGridSize(cell);
}

void StringList::AddCharacterSet()
{
    // The set is already in order; it goes in as one block.
    model_->append(StringOrder::CharacterSet());
}

int StringList::AddString(const QString& text)
{
    const QStringList& have = model_->rows();
    // After equal strings, as a sorted list box places a repeated entry.
    const int row = sorted_ ? int(std::upper_bound(have.cbegin(), have.cend(), text, StringOrder::Less) - have.cbegin())
                            : int(have.size());
    model_->insert(row, text);
    return row;
}

void StringList::AddStrings(QStringList add)
{
    if (!sorted_) {
        model_->append(add);
        return;
    }
    // One sort and one merge, not a search and an insert per string: a string file of a
    // million lines loads in about a second. Each new string goes after its equals already
    // listed, and equal new strings keep their order, as if added one by one.
    StringOrder::Sort(add);
    const QStringList& have = model_->rows();
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
    add = {}; // the merged list shares every string: the sorted copy goes before the view lays out
    model_->replace(std::move(merged));
}

CommonKit::ReadProblem StringList::AddLinesOfFile(const QString& path)
{
    bool cut = false;
    QString text;
    CommonKit::ReadProblem problem = CommonKit::ReadProblem::None;
    QStringList lines = CommonKit::ReadLinesInto(&text, path, kMaxFileBytes, &cut, &problem);
    model_->keep(std::move(text));
    lines.removeAll(QString());
    AddStrings(std::move(lines));
    return problem;
}

QStringList StringList::strings() const
{
    QStringList out;
    out.reserve(count());
    for (int row = 0; row < count(); ++row)
        out.append(entry(row));
    return out;
}

bool StringList::event(QEvent* e)
{
    // Hidden or shown by its window's code (the window itself may not be made yet, so no hide
    // event comes): the entry the list had is current again when it is shown.
    if (e->type() == QEvent::HideToParent && selectionModel() && currentIndex().isValid()) {
        currentWhileHidden_ = currentIndex();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else if (e->type() == QEvent::ShowToParent) {
        if (selectionModel() && currentWhileHidden_.isValid() && !currentIndex().isValid())
            selectionModel()->setCurrentIndex(currentWhileHidden_, QItemSelectionModel::NoUpdate);
        currentWhileHidden_ = QPersistentModelIndex();
    }
    return QListView::event(e);
}

void StringList::mousePressEvent(QMouseEvent* e)
{
    emit pressed();
    QListView::mousePressEvent(e);
}

void StringList::TellLoadProblem(const QString& path, CommonKit::ReadProblem problem)
{
    if (problem == CommonKit::ReadProblem::TooLarge)
        Prompts::messageBox(QStringLiteral("The string file %1 holds more than %2 MB: only the strings in its "
                                           "first %2 MB are in the string list.")
                                .arg(path, QString::number(kMaxFileBytes / (1024 * 1024))),
                            "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    else if (problem == CommonKit::ReadProblem::NotAFile || problem == CommonKit::ReadProblem::Unreadable)
        Prompts::messageBox(QStringLiteral("The string list holds only its own characters: the string file %1 "
                                           "was not read. %2")
                                .arg(path, CommonKit::ReadProblemText(problem)),
                            "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}
