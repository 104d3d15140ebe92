#include "prompts.h"

#include "platform/onelinevalidator.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>

namespace Prompts {

Answer DialogSource::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box;
    box.setWindowTitle(title);
    // A lone carriage return ends a line, as the shop's texts were written for.
    box.setText(QString(text).replace("\r\n", "\n").replace('\r', '\n'));
    // Messages carry names from files, skins and peers: shown as the text they are, never as markup.
    box.setTextFormat(Qt::PlainText);
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
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        // A box closed without a button: a three-way question is cancelled.
        if (buttons == Buttons::YesNoCancel)
            return Answer::Cancel;
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No : Answer::Ok;
    }
}

QString DialogSource::inputBox(const QString& prompt, const QString& title, const QString& preset)
{
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(preset);
    // Answers are kept as settings lines: the box takes one line, as a one-line box should.
    if (auto* box = dialog.findChild<QLineEdit*>())
        OneLineValidator::install(box);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    // The preset is selected, so typing replaces it.
    if (auto* box = dialog.findChild<QLineEdit*>())
        box->selectAll();
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

namespace {
// The shop's windows stay on top of others; its file dialogs stay on top of them.
QString fileName(QFileDialog::AcceptMode mode, const QString& filter, const QString& folder)
{
    QFileDialog dialog(nullptr, QString(), folder, filter);
    // The dialog itself adds the suffix, so its question before replacing a file names the
    // file that is written.
    static const QRegularExpression firstSuffix(QStringLiteral("\\(\\*\\.(\\w+)"));
    if (const auto m = firstSuffix.match(filter); m.hasMatch() && mode == QFileDialog::AcceptSave)
        dialog.setDefaultSuffix(m.captured(1));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
}

QString DialogSource::openFileName(const QString& filter, const QString& folder)
{
    return fileName(QFileDialog::AcceptOpen, filter, folder);
}

QString DialogSource::saveFileName(const QString& filter, const QString& folder)
{
    return fileName(QFileDialog::AcceptSave, filter, folder);
}

namespace {
DialogSource dialogs;
Source* installed = nullptr;
}

void install(Source* source) { installed = source; }
Source& current() { return installed ? *installed : dialogs; }

} // namespace Prompts
