#include "macroedit.h"

#include "platform/codepage.h"
#include "platform/prompts.h"

#include <QKeyEvent>
#include <QMimeData>

MacroEdit::MacroEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
}

QString MacroEdit::text() const
{
    QString t = toPlainText();
    t.replace('\n', "\r\n");
    return t;
}

void MacroEdit::setText(const QString& text)
{
    // CR LF, a lone CR and a lone LF each end one line.
    QString t = text;
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    setPlainText(t);
}

void MacroEdit::markSaved()
{
    SavedText = text();
    BuiltinOverFile = false;
}

void MacroEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() >= Qt::Key_F1 && e->key() <= Qt::Key_F12 && e->modifiers() == Qt::NoModifier) {
        emit slotKey(e->key() - Qt::Key_F1);
        return;
    }
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        emit slotKey(12);
        return;
    }
    // Typed characters the code page cannot hold are not taken.
    if (!e->text().isEmpty() && e->text().at(0).isPrint() && !CodePage::canEncode(e->text()))
        return;
    QPlainTextEdit::keyPressEvent(e);
}

void MacroEdit::mousePressEvent(QMouseEvent* e)
{
    emit pressed();
    QPlainTextEdit::mousePressEvent(e);
}

bool MacroEdit::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void MacroEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    QString t = source->text();
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    // A decomposed accent (a letter and a combining mark) is one Windows-1252 character composed.
    t = t.normalized(QString::NormalizationForm_C);
    // As a page does, the macro refuses the whole text and names the character to blame.
    if (const QString bad = CodePage::firstUnencodable(t); !bad.isEmpty()) {
        Prompts::messageBox("A macro cannot store " + CodePage::describeCharacter(bad) +
                                ": macros hold only the characters of Windows-1252, so nothing was pasted.",
                            "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    insertPlainText(t);
}
