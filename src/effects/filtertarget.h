#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QPlainTextEdit;

// What the filter chooser rewrites: a text held by some window (the macro shop's editor). The
// window that opens the chooser hands one over; when that window is gone there is no target.
struct FilterTarget {
    // The window to take off and put back on top around the chooser's messages; null when gone.
    std::function<QWidget*()> window;
    std::function<QString()> read;
    std::function<void(const QString&)> write;

    bool isValid() const { return window && window() && read && write; }

    // A multi-line text box in its window; a rewrite is one step the box's undo takes back.
    static FilterTarget forBox(QPlainTextEdit* box);
    // The box find gives at each use (null when there is none): a window closed and opened
    // afresh while the chooser stays open is still the target.
    static FilterTarget forBox(std::function<QPlainTextEdit*()> find);
};
