#pragma once
#include <QListWidget>

// A list of strings kept in the string order: every string added falls into its sorted place.
// Without sorting it keeps the order it is given (the second character map).
class StringList : public QListWidget {
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
    // a file over kMaxFileBytes only the lines within that are added, and false comes back.
    bool AddLinesOfFile(const QString& path);
    // The most of a string file the list takes: a million strings of art and then some.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    QStringList strings() const;

signals:
    // A press of the mouse anywhere in the list.
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool sorted_;
};
