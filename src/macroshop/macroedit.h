#pragma once
#include <QPlainTextEdit>

// The macro editor: multi-line text that only takes what Windows-1252 can hold, whose F1..F12
// and Esc keys ask for a stored string, and which reports mouse presses.
class MacroEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MacroEdit(QWidget* parent = nullptr);

    // The text as it is saved and sent: lines joined by CR LF.
    QString text() const;
    void setText(const QString& text);
    // The current file (the design kept it in the box's tag); empty for none.
    QString Tag;
    // The text as it was last opened or saved: a macro that differs from it is not kept anywhere.
    QString SavedText;
    // A built-in macro was loaded over the current file's macro: saving would replace that file.
    bool BuiltinOverFile = false;
    // The text differs from what was last opened or saved.
    bool isModified() const { return text() != SavedText; }
    // What the editor shows now is what its file holds (or, without a file, nothing to keep).
    void markSaved();

signals:
    // F1..F12 give slots 0..11, Esc slot 12.
    void slotKey(int slot);
    void pressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
};
