#pragma once
#include <QLineEdit>

// An art page: a one-line text field that reports the typed character codes its window
// handles (Ctrl+A = 1, Ctrl+B = 2), presses and pointer movement, and refuses text that
// Windows-1252 cannot hold.
class PageEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PageEdit(QWidget* parent = nullptr);

signals:
    void keyPressed(int characterCode);
    void pressed();
    void hovered();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
};
