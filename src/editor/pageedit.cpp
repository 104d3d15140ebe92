#include "pageedit.h"

#include "editor/pages.h"
#include "platform/codepage.h"

#include <QKeyEvent>
#include <climits>

PageEdit::PageEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(Pages::kPageLimit); // a bounded page keeps a huge file from freezing the window
    setValidator(CodePage::validator(this));
    setMouseTracking(true);
    setFrame(false);
}

void PageEdit::keyPressEvent(QKeyEvent* e)
{
    // Ctrl+A and Ctrl+B belong to the window's handler; the field itself does nothing with them.
    if (e->modifiers() == Qt::ControlModifier && (e->key() == Qt::Key_A || e->key() == Qt::Key_B)) {
        emit keyPressed(e->key() == Qt::Key_A ? 1 : 2);
        return;
    }
    if (!e->text().isEmpty())
        emit keyPressed(e->text().at(0).unicode());
    QLineEdit::keyPressEvent(e);
}

void PageEdit::mousePressEvent(QMouseEvent* e)
{
    emit pressed();
    QLineEdit::mousePressEvent(e);
}

void PageEdit::mouseMoveEvent(QMouseEvent* e)
{
    emit hovered();
    QLineEdit::mouseMoveEvent(e);
}
