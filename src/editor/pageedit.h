#pragma once
#include <QClipboard>
#include <QLineEdit>

// An art page: a one-line text field that reports the typed character codes its window
// handles (Ctrl+A = 1, Ctrl+B = 2), presses and pointer movement, and refuses text that
// Windows-1252 cannot hold. Pasted or dropped text ends at its first line break, as in a
// one-line edit box; text set by the program is kept whole. A paste or drop the page cannot
// store is refused with a message naming the character; one longer than the page's room is
// cut to it, and the user is told of that and of any lines left out.
class PageEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PageEdit(QWidget* parent = nullptr);

    // Pastes from the clipboard (or the selection clipboard) up to the first line break.
    void pasteLine(QClipboard::Mode mode = QClipboard::Clipboard);
    // The text before its first CR or LF.
    static QString firstLine(const QString& text);
    // True when Windows-1252 holds every character of text; else says which one it cannot.
    static bool Storable(const QString& text);
    // Puts back the selection the page had when it last lost the focus (a press elsewhere drops
    // it), while the page has no focus and no selection and its text has not changed since.
    void restoreSelection();

signals:
    void keyPressed(int characterCode);
    void pressed();
    void hovered();
    // Ctrl+Z with nothing left in the page's own undo history.
    void undoPastHistory();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // Tells the user when a paste or drop of whole left lines out, or its first line of offered
    // characters found room for fewer.
    void TellTaken(const QString& whole, qsizetype offered, qsizetype room);

    QString savedText_;
    int savedStart_ = -1;
    int savedLength_ = 0;
};
