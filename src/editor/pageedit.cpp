#include "pageedit.h"

#include "editor/pages.h"
#include "platform/codepage.h"
#include "platform/prompts.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

PageEdit::PageEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(Pages::kPageLimit); // a bounded page keeps a huge file from freezing the window
    setValidator(CodePage::validator(this));
    setMouseTracking(true);
    setFrame(false);
}

QString PageEdit::firstLine(const QString& text)
{
    const qsizetype cr = text.indexOf('\r');
    const qsizetype lf = text.indexOf('\n');
    if (cr < 0 && lf < 0)
        return text;
    return text.left(cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf));
}

void PageEdit::pasteLine(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    // A decomposed "é" (e and a combining accent) is one Windows-1252 character once composed.
    const QString whole = QGuiApplication::clipboard()->text(mode);
    const QString clip = firstLine(whole).normalized(QString::NormalizationForm_C);
    if (!Storable(clip))
        return;
    const qsizetype room = maxLength() - text().size() + selectedText().size();
    if (!clip.isEmpty() || hasSelectedText())
        insert(clip);
    TellTaken(whole, clip.size(), room);
}

void PageEdit::TellTaken(const QString& whole, qsizetype offered, qsizetype room)
{
    // The field takes the first line and what of it fits; the user learns what was left out.
    QStringList told;
    if (offered > room)
        told << QStringLiteral("A page holds at most %1 characters, so only the first %2 of the %3 pasted "
                               "characters were taken.")
                    .arg(maxLength())
                    .arg(std::max<qsizetype>(0, room))
                    .arg(offered);
    // A trailing line end, or blank lines after the art, leave nothing out.
    qsizetype lines = 1;
    const QStringList rest = whole.mid(firstLine(whole).size()).split(QRegularExpression("\\r\\n|\\r|\\n"));
    for (const QString& line : rest)
        lines += line.trimmed().isEmpty() ? 0 : 1;
    if (lines > 1)
        told << QStringLiteral("A page holds one line, so only the first of the %1 pasted lines was taken; "
                               "the macro shop takes art of several lines.")
                    .arg(lines);
    if (!told.isEmpty())
        Prompts::messageBox(told.join(' '), "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

bool PageEdit::Storable(const QString& text)
{
    // The page refuses the whole text; the user learns which character is to blame.
    const QString bad = CodePage::firstUnencodable(text);
    if (bad.isEmpty())
        return true;
    Prompts::messageBox("A page cannot store " + CodePage::describeCharacter(bad) +
                            ": pages hold only the characters of Windows-1252, so nothing was pasted.",
                        "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return false;
}

void PageEdit::restoreSelection()
{
    if (savedStart_ < 0 || hasFocus() || hasSelectedText() || text() != savedText_)
        return;
    setSelection(savedStart_, savedLength_);
}

void PageEdit::keyPressEvent(QKeyEvent* e)
{
    // Ctrl+A and Ctrl+B belong to the window's handler; the field itself does nothing with them.
    if (e->modifiers() == Qt::ControlModifier && (e->key() == Qt::Key_A || e->key() == Qt::Key_B)) {
        emit keyPressed(e->key() == Qt::Key_A ? 1 : 2);
        return;
    }
    if (e->matches(QKeySequence::Undo) && !isUndoAvailable()) {
        emit undoPastHistory();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        pasteLine();
        e->accept();
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

void PageEdit::mouseReleaseEvent(QMouseEvent* e)
{
    // The middle button pastes the selection clipboard, one line of it.
    if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        deselect();
        pasteLine(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void PageEdit::focusOutEvent(QFocusEvent* e)
{
    savedText_ = text();
    savedStart_ = hasSelectedText() ? selectionStart() : -1;
    savedLength_ = hasSelectedText() ? int(selectedText().size()) : 0;
    QLineEdit::focusOutEvent(e);
}

void PageEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt names the paste item "edit-paste" only from 6.5 on; before, its caption tells it.
    const QString caption = QLineEdit::tr("&Paste");
    for (QAction* item : menu->actions()) {
        if (item->objectName() != QLatin1String("edit-paste") && item->text().section(u'\t', 0, 0) != caption)
            continue;
        disconnect(item, &QAction::triggered, nullptr, nullptr);
        connect(item, &QAction::triggered, this, [this] { pasteLine(); });
    }
    menu->popup(e->globalPos());
}

void PageEdit::dropEvent(QDropEvent* e)
{
    if (!e->mimeData() || !e->mimeData()->hasText()) {
        QLineEdit::dropEvent(e);
        return;
    }
    QMimeData oneLine;
    oneLine.setText(firstLine(e->mimeData()->text()).normalized(QString::NormalizationForm_C));
    if (!Storable(oneLine.text())) {
        e->ignore();
        return;
    }
    // A drop inside the page's own text moves it: nothing is added then.
    const bool fromHere = e->source() == this;
    const qsizetype room = maxLength() - text().size();
    QDropEvent cut(e->position(), e->possibleActions(), &oneLine, e->buttons(), e->modifiers(), e->type());
    cut.setDropAction(e->dropAction());
    QLineEdit::dropEvent(&cut);
    e->setDropAction(cut.dropAction());
    e->setAccepted(cut.isAccepted());
    if (!fromHere && cut.isAccepted())
        TellTaken(e->mimeData()->text(), oneLine.text().size(), room);
}
