#include "commonkit.h"

#include "core/inifile.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"
#include "platform/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QWidget>
#include <QWindow>

namespace CommonKit {

QString SettingsPath() { return ProgramFolder::file("quorl.ini"); }

QString ReadIni(const QString& section, const QString& key, const QString& path)
{
    return IniFile::ReadProfileString(section, key.toLower(), QString(), 750, path);
}

bool WriteIni(const QString& section, const QString& key, const QString& value, const QString& path)
{
    return IniFile::WriteProfileString(section, key.toUpper(), value, path);
}

QString Setting(const QString& key) { return ReadIni("quorl", key, SettingsPath()); }

void SetSetting(const QString& key, const QString& value) { WriteIni("quorl", key, value, SettingsPath()); }

void ResetSettings(bool fromMenu)
{
    if (fromMenu) {
        QFile::remove(SettingsPath());
        Pause(0.1);
    }
    static const char* const defaults[][2] = {
        {"HANDLE", "unknown"}, {"ID", "XXXXXXXXX"}, {"LOADED", "0"}, {"ASCII", "\u2039\u203a\u00bb"},
        {"SKIN", "none"}, {"X", "none"}, {"Y", "none"}, {"OPTIONSWIN", "False"}, {"ROLLEDUP", "False"},
        {"LOADONSTARTUP", "False"},
    };
    for (const auto& d : defaults)
        SetSetting(QString::fromUtf8(d[0]), QString::fromUtf8(d[1]));
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (path.contains('*') || path.contains('?')) {
        const QDir dir = info.dir();
        return !dir.entryList({info.fileName()}, QDir::Files).isEmpty();
    }
    return info.isFile() && !info.isHidden();
}

QString ReadFileText(const QString& path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return {};
    return CodePage::toUnicode(f.readAll());
}

void LoadFileIntoText(QLineEdit* box, const QString& path) { box->setText(ReadFileText(path)); }

void LoadFileIntoText(QPlainTextEdit* box, const QString& path) { box->setPlainText(ReadFileText(path)); }

bool SaveString(const QString& text, const QString& path, QString* error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.write(CodePage::fromUnicode(text) + "\r\n");
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool SaveTextBox(const QLineEdit* box, const QString& path, QString* error)
{
    return SaveString(box->text(), path, error);
}

QStringList ReadLines(const QString& path)
{
    if (!FileExists(path))
        return {};
    const QString text = ReadFileText(path);
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines << line;
            line.clear();
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

void LoadListFromFile(QListWidget* list, const QString& path)
{
    for (const QString& line : ReadLines(path))
        list->addItem(line);
}

QString ReplaceText(QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(find, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + find.size();
    }
    result += QStringView(text).mid(from);
    text = result;
    return text;
}

QString RemoveSpaces(const QString& text)
{
    QString out = text;
    out.remove(' ');
    return out;
}

void InsertAtCursor(const QString& text, QLineEdit* box)
{
    // The caret is a full-width position here: pages longer than 32767 characters insert correctly.
    const QString old = box->text();
    const int caret = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    box->setText(old.left(caret) + text + old.mid(caret));
    box->setCursorPosition(caret + int(text.size()));
}

void InsertAtCursor(const QString& text, QPlainTextEdit* box)
{
    QTextCursor c = box->textCursor();
    const int caret = c.selectionStart();
    c.clearSelection();
    c.setPosition(caret);
    c.insertText(text);
    box->setTextCursor(c);
}

void CenterForm(QWidget* window)
{
    Twips::move(window, (Twips::screenWidth() - Twips::width(window)) / 2,
                (Twips::screenHeight() - Twips::height(window)) / 2);
}

void StayOnTop(QWidget* window)
{
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (visible)
            window->show();
    }
    if (window->isVisible())
        window->raise();
}

void NotOnTop(QWidget* window)
{
    if (window->windowFlags() & Qt::WindowStaysOnTopHint) {
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (visible)
            window->show();
    }
}

void DragForm(QWidget* window)
{
    if (QWindow* w = window->windowHandle())
        w->startSystemMove();
}

bool IsRolledUp(int mainHeight) { return mainHeight == 550; }

void Pause(double seconds)
{
    if (seconds > 0)
        Clock::wait(seconds);
}

} // namespace CommonKit
