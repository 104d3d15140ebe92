#include "mnemonics.h"

#include "skin/pushlabel.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace Mnemonics {

QChar letterOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&')
                return caption[i + 1];
            ++i;
        }
    }
    return {};
}

namespace {
// Where the letter's focus lands: the push label itself, or a caption's box.
QWidget* targetOf(MouseLabel* label)
{
    if (qobject_cast<PushLabel*>(label))
        return label;
    return label->buddy();
}
}

QList<MouseLabel*> labelsWith(QWidget* window, QChar letter)
{
    QList<MouseLabel*> out;
    if (!window || letter.isNull())
        return out;
    const QChar want = letter.toLower();
    for (MouseLabel* label : window->findChildren<MouseLabel*>()) {
        QWidget* target = targetOf(label);
        if (!target || label->window() != window || !label->isVisible() || !target->isEnabled())
            continue;
        if (letterOf(label->caption()).toLower() == want)
            out << label;
    }
    return out;
}

bool press(QWidget* window, QChar letter)
{
    const QList<MouseLabel*> labels = labelsWith(window, letter);
    if (labels.isEmpty())
        return false;
    if (labels.size() == 1) {
        if (auto* push = qobject_cast<PushLabel*>(labels.first()))
            push->click();
        else
            targetOf(labels.first())->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    // From the focused label (or box) to the next; from anywhere else to the first.
    qsizetype at = -1;
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (targetOf(labels[i]) == QApplication::focusWidget())
            at = i;
    targetOf(labels[(at + 1) % labels.size()])->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void attachBuddy(MouseLabel* caption, QWidget* box)
{
    caption->setBuddy(box);
    const QChar m = letterOf(caption->caption());
    if (m.isNull())
        return;
    auto* shortcut = new QShortcut(QKeySequence("Alt+" + QString(m.toUpper())), caption);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    const auto go = [caption] { press(caption->window(), letterOf(caption->caption())); };
    QObject::connect(shortcut, &QShortcut::activated, caption, go);
    QObject::connect(shortcut, &QShortcut::activatedAmbiguously, caption, go);
}

} // namespace Mnemonics
