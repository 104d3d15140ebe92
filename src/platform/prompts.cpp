#include "prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace Prompts {

Answer DialogSource::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box;
    box.setWindowTitle(title);
    // A lone carriage return ends a line, as the shop's texts were written for.
    box.setText(QString(text).replace("\r\n", "\n").replace('\r', '\n'));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

QString DialogSource::inputBox(const QString& prompt, const QString& title, const QString& preset)
{
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(preset);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString DialogSource::passwordBox(const QString& prompt, const QString& title)
{
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString DialogSource::openFileName(const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, QString(), QString(), filter);
}

QString DialogSource::saveFileName(const QString& filter)
{
    return QFileDialog::getSaveFileName(nullptr, QString(), QString(), filter);
}

namespace {
DialogSource dialogs;
Source* installed = nullptr;
}

void install(Source* source) { installed = source; }
Source& current() { return installed ? *installed : dialogs; }

} // namespace Prompts
