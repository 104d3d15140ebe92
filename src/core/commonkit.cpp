#include "commonkit.h"

#include "core/inifile.h"
#include "core/savefile.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/filename.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool SetSetting(const QString& key, const QString& value) { return WriteIni("quorl", key, value, SettingsPath()); }

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

bool OpenRegularFile(QFile& file, const QString& path, ReadProblem* problem)
{
    ReadProblem dummy;
    ReadProblem& why = problem ? *problem : dummy;
    why = ReadProblem::None;
    if (path.isEmpty()) {
        why = ReadProblem::Missing;
        return false;
    }
    // Opened without blocking (a FIFO would wait for a writer forever) and checked on the open
    // descriptor, so nothing can swap the file in between.
    const int fd = ::open(FileName::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ENOENT || errno == ENOTDIR ? ReadProblem::Missing : ReadProblem::Unreadable;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = ReadProblem::NotAFile;
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        why = ReadProblem::Unreadable;
        return false;
    }
    return true;
}

QByteArray ReadFileBytes(const QString& path, qint64 limit, ReadProblem* problem)
{
    ReadProblem dummy;
    ReadProblem& why = problem ? *problem : dummy;
    QFile f;
    if (!OpenRegularFile(f, path, &why))
        return {};
    // One byte past the limit tells a file that is too large from one that just fits.
    QByteArray bytes = ReadAtMost(f, limit + 1);
    if (f.error() != QFileDevice::NoError) {
        why = ReadProblem::Unreadable;
        return {};
    }
    if (bytes.size() > limit) {
        why = ReadProblem::TooLarge;
        bytes.truncate(limit);
    }
    return bytes;
}

QByteArray ReadAtMost(QFile& file, qint64 limit)
{
    // Read in steps rather than trusting the size: a file may grow while it is read.
    char step[16 * 1024];
    QByteArray bytes;
    while (bytes.size() < limit) {
        const qint64 got = file.read(step, std::min<qint64>(sizeof step, limit - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(step, got);
    }
    return bytes;
}

QString ReadFileText(const QString& path)
{
    ReadProblem problem;
    const QByteArray bytes = ReadFileBytes(path, kReadLimit, &problem);
    return problem == ReadProblem::None ? CodePage::toUnicode(bytes) : QString();
}

QString ReadProblemText(ReadProblem problem)
{
    switch (problem) {
    case ReadProblem::None: return {};
    case ReadProblem::Missing: return QStringLiteral("The file does not exist.");
    case ReadProblem::NotAFile: return QStringLiteral("It is not a regular file (a folder, a device or a pipe).");
    case ReadProblem::Unreadable: return QStringLiteral("The file could not be read.");
    case ReadProblem::TooLarge: return QStringLiteral("The file is larger than the shop reads.");
    }
    return {};
}

void LoadFileIntoText(QLineEdit* box, const QString& path) { box->setText(ReadFileText(path)); }

void LoadFileIntoText(QPlainTextEdit* box, const QString& path) { box->setPlainText(ReadFileText(path)); }

bool SaveString(const QString& text, const QString& path, QString* error)
{
    return SaveFile::Write(path, CodePage::fromUnicode(text) + "\r\n", error);
}

bool SaveTextBox(const QLineEdit* box, const QString& path, QString* error)
{
    return SaveString(box->text(), path, error);
}

QString SaveTarget(const QString& chosen, const QString& suffix, const QString& title)
{
    if (chosen.isEmpty())
        return {};
    const QString name = FileName::WithSuffix(chosen, suffix);
    struct stat st {};
    if (::stat(FileName::encode(name).constData(), &st) != 0)
        return name;
    if (!S_ISREG(st.st_mode)) {
        Prompts::messageBox(name + " is not a plain file (it is a folder, a pipe or a device), so it was not "
                                   "replaced and nothing was saved.",
                            title, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return {};
    }
    if (name != chosen
        && Prompts::messageBox(QFileInfo(name).fileName() + " already exists.\nDo you want to replace it?", title,
                               Prompts::Buttons::YesNo, Prompts::Icon::Exclamation)
               != Prompts::Answer::Yes)
        return {};
    return name;
}

namespace {

// The file's text, whole lines only when the limit cut it; empty when it cannot be read.
QString readText(const QString& path, qint64 limit, bool* cut)
{
    if (cut)
        *cut = false;
    if (!FileExists(path))
        return {};
    ReadProblem problem;
    QByteArray bytes = ReadFileBytes(path, limit, &problem);
    if (problem != ReadProblem::None && problem != ReadProblem::TooLarge)
        return {};
    QString text = CodePage::toUnicode(bytes);
    bytes = {}; // a string file of a million lines: its bytes go before its lines come
    if (problem == ReadProblem::TooLarge) {
        // Only whole lines count: the one the limit cut through is left out with the rest.
        if (cut)
            *cut = true;
        text.truncate(std::max(text.lastIndexOf(u'\r') + 1, qsizetype(0)));
    }
    return text;
}

// The lines of the text, each as makeLine makes it from its view.
template <typename MakeLine>
QStringList splitLines(const QString& text, MakeLine makeLine)
{
    QStringList lines;
    // One count first: a million lines are not copied over and over as the list grows.
    lines.reserve(text.count(u'\r') + 1);
    const QStringView all(text);
    qsizetype start = 0;
    for (;;) {
        const qsizetype cr = all.indexOf(u'\r', start);
        if (cr < 0)
            break;
        lines.append(makeLine(all.mid(start, cr - start)));
        start = cr + 1;
        if (start < all.size() && all[start] == u'\n')
            ++start;
    }
    if (start < all.size())
        lines.append(makeLine(all.mid(start)));
    return lines;
}

} // namespace

QStringList ReadLines(const QString& path, qint64 limit, bool* cut)
{
    return splitLines(readText(path, limit, cut), [](QStringView line) { return line.toString(); });
}

QStringList ReadLinesInto(QString* text, const QString& path, qint64 limit, bool* cut)
{
    *text = readText(path, limit, cut);
    return splitLines(*text, [](QStringView line) { return QString::fromRawData(line.data(), line.size()); });
}

void LoadListFromFile(QListWidget* list, const QString& path)
{
    for (const QString& line : ReadLines(path))
        list->addItem(line);
}

namespace {

// Lower case of one UTF-16 unit, with a table for the code page's range.
struct LowerTable {
    char16_t low[256];
    LowerTable()
    {
        for (int c = 0; c < 256; ++c)
            low[c] = QChar::toLower(char16_t(c));
    }
    char16_t operator()(char16_t c) const { return c < 256 ? low[c] : char16_t(QChar::toLower(c)); }
};

} // namespace

bool ReplaceTextWithin(QString& text, const QString& find, const QString& replacement, qsizetype limit)
{
    const qsizetype m = find.size(), n = text.size();
    if (m == 0 || m > n)
        return true;
    static const LowerTable lower;
    QString needle(m, Qt::Uninitialized);
    for (qsizetype j = 0; j < m; ++j)
        needle[j] = QChar(lower(find[j].unicode()));
    const char16_t* t = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* f = reinterpret_cast<const char16_t*>(needle.constData());
    const char16_t first = f[0];
    const qsizetype r = replacement.size();

    // One pass: the result grows by the unmatched stretches and the replacements, and the
    // search goes on behind each match, so a replacement is never searched again.
    QString result;
    qsizetype copied = 0;
    bool matched = false;
    for (qsizetype i = 0; i + m <= n;) {
        if (lower(t[i]) == first) {
            qsizetype j = 1;
            while (j < m && lower(t[i + j]) == f[j])
                ++j;
            if (j == m) {
                // A growing rule leaves at least what is built so far and the rest of the text:
                // past the limit, stop before the memory is taken. A rule that does not grow
                // the text never leaves more than it found.
                const qsizetype needed = result.size() + (i - copied) + r;
                if (r > m && needed + (n - i - m) > limit)
                    return false;
                const qsizetype most = r > m ? limit : n;
                if (!matched) {
                    result.reserve(std::min(most, std::max(n, needed)));
                    matched = true;
                } else if (needed > result.capacity()) {
                    result.reserve(std::min(most, std::max(needed, 2 * result.capacity())));
                }
                result.append(QStringView(t + copied, i - copied));
                result.append(replacement);
                i += m;
                copied = i;
                continue;
            }
        }
        ++i;
    }
    if (!matched)
        return true;
    result.append(QStringView(t + copied, n - copied));
    text = std::move(result);
    return true;
}

QString ReplaceText(QString& text, const QString& find, const QString& replacement)
{
    ReplaceTextWithin(text, find, replacement, std::numeric_limits<qsizetype>::max());
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
