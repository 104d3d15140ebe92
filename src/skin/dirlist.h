#pragma once
#include <QListWidget>

// A folder list: the folders from the root down to the current one, then the current folder's
// subfolders. Double-clicking a folder (or Enter on it) makes it the current one; files are not
// shown.
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    // The current folder, without a trailing "/" (except the root).
    QString path() const { return path_; }
    // Changes to the folder; one that does not exist leaves the list where it was (false).
    bool setPath(const QString& folder);
    // The folder a row stands for.
    QString folderAt(int row) const;
    // The highlighted folder: the current one until another row is picked.
    QString selectedFolder() const;

    // As tall as the whole rows that fit in `pixels`, scrolled a row at a time, so no row is ever
    // shown cut (a click on a cut row would land on the row the scroll brings under the pointer).
    void showWholeRows(int pixels);

signals:
    void pathChanged(const QString& path);

private:
    void fill();

    QString path_;
};
