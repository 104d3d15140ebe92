#include "dirlist.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kFolderRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndent = 10; // pixels per level

// Rows are indented by their depth below the root.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem o(option);
        o.rect.adjust(index.data(kLevelRole).toInt() * kIndent, 0, 0, 0);
        QStyledItemDelegate::paint(painter, o, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.rwidth() += index.data(kLevelRole).toInt() * kIndent;
        return s;
    }
};

} // namespace

DirList::DirList(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        setPath(item->data(kFolderRole).toString());
    });
}

QString DirList::folderAt(int row) const
{
    const QListWidgetItem* i = item(row);
    return i ? i->data(kFolderRole).toString() : QString();
}

QString DirList::selectedFolder() const
{
    const QString folder = folderAt(currentRow());
    return folder.isEmpty() ? path_ : folder;
}

void DirList::showWholeRows(int pixels)
{
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // A row's height in the list's font, an item or not.
    int row = count() > 0 ? sizeHintForRow(0) : 0;
    if (row <= 0)
        row = std::max(fontMetrics().height(), style()->pixelMetric(QStyle::PM_SmallIconSize)) + 4;
    const int frame = 2 * frameWidth();
    const int rows = std::max(1, (pixels - frame) / row);
    setFixedHeight(rows * row + frame);
}

bool DirList::setPath(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == path_) {
        fill(); // folders may have come or gone
        return true;
    }
    path_ = clean;
    fill();
    emit pathChanged(path_);
    return true;
}

void DirList::fill()
{
    clear();
    const QStyle* st = style();
    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir d(path_);; ) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int level = 0;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto* row = new QListWidgetItem(st->standardIcon(QStyle::SP_DirOpenIcon), name, this);
        row->setData(kFolderRole, folder);
        row->setData(kLevelRole, level++);
        row->setToolTip(folder);
    }
    const int current = count() - 1;
    // The subfolders, in the locale's order.
    QStringList subs = QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(subs.begin(), subs.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    for (const QString& sub : subs) {
        auto* row = new QListWidgetItem(st->standardIcon(QStyle::SP_DirClosedIcon), sub, this);
        const QString folder = QDir(path_).filePath(sub);
        row->setData(kFolderRole, folder);
        row->setData(kLevelRole, level);
        row->setToolTip(folder);
    }
    setCurrentRow(current);
    // The parent stays in view above the current folder and its subfolders.
    scrollToItem(item(std::max(0, current - 1)), QAbstractItemView::PositionAtTop);
}
