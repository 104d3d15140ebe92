#pragma once
#include "core/commonkit.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

// The strings a StringList shows, one row each. The view asks only for the rows it paints, so a
// million strings cost the strings themselves and no item objects. The lines of a file are
// views into its text, which the model keeps: no string of their own, one block for them all.
class StringListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    // What one row shows of its entry at most, then "…"; the entry itself stays whole.
    static constexpr qsizetype ShownCharacters = 500;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The rows as they stand, views into kept text among them: for use while the model lives.
    const QStringList& rows() const { return strings_; }
    // A row's string of its own, empty past the end.
    QString entry(int row) const;
    void insert(int row, const QString& text);
    void append(const QStringList& more);
    void replace(QStringList all);
    // Keeps text that rows look into for as long as the model lives.
    void keep(QString text) { kept_.append(std::move(text)); }
    // Every row the size of one cell, its text centred in it (a character map's grid).
    void setCell(QSize cell) { cell_ = cell; }

private:
    QSize cell_;
    QStringList strings_;
    QList<QString> kept_;
};

// A list of strings kept in the string order: every string added falls into its sorted place.
// Without sorting it keeps the order it is given (the second character map).
class StringList : public QListView {
    Q_OBJECT
public:
    explicit StringList(QWidget* parent = nullptr, bool sorted = true);

    // The character set, in its sorted order.
    void AddCharacterSet();
    // Adds the string in its sorted place (at the end when unsorted); returns its row.
    int AddString(const QString& text);
    // Adds the strings, each in its sorted place (at the end, in their order, when unsorted).
    void AddStrings(QStringList strings);
    // The lines of a file as the platform's line input splits them; empty lines are dropped. Of
    // a file over kMaxFileBytes only the lines within that are added (TooLarge); a file that is
    // not a regular one is never opened (NotAFile).
    CommonKit::ReadProblem AddLinesOfFile(const QString& path);
    // Tells the user what kept the string file at path from the list: a file cut at its bound, or
    // one there but not read. A missing file adds nothing and says nothing.
    static void TellLoadProblem(const QString& path, CommonKit::ReadProblem problem);
    // The most of a string file the list takes: a million strings of art and then some.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    int count() const { return int(model_->rows().size()); }
    // The entries, each a string of its own.
    QStringList strings() const;
    // The entry in the row, empty past the end.
    QString entry(int row) const { return model_->entry(row); }
    // Shows every entry in a grid cell of the given size, centred.
    void setCell(QSize cell);

signals:
    // A press of the mouse anywhere in the list.
    void pressed();
    // A click on an entry.
    void entryClicked(const QString& entry);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    // A hidden list has no current entry, so a reader finds none of its entries focused.
    bool event(QEvent* e) override;

private:
    StringListModel* model_;
    QPersistentModelIndex currentWhileHidden_;
    bool sorted_;
};
