#include "macrofiles.h"

#include "core/commonkit.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace MacroFiles {

bool Read(const QString& path, QString* text, QString* error)
{
    // A FIFO or a device would block the shop or never end; only plain files are opened.
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        *error = "The file does not exist.";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = "It is not a plain file.";
        return false;
    }
    if (st.st_size > kMaxBytes) {
        *error = QStringLiteral("It is %1 MB; a macro may have at most %2 MB.")
                     .arg(double(st.st_size) / (1024 * 1024), 0, 'f', 1)
                     .arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    // Opened without blocking and checked again on the descriptor: the path may have been
    // swapped for a FIFO since the look above.
    QFile f;
    CommonKit::ReadProblem problem;
    if (!CommonKit::OpenRegularFile(f, path, &problem)) {
        *error = CommonKit::ReadProblemText(problem);
        return false;
    }
    const QByteArray bytes = CommonKit::ReadAtMost(f, kMaxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        *error = f.errorString();
        return false;
    }
    if (bytes.size() > kMaxBytes) { // it grew while it was read
        *error = CommonKit::ReadProblemText(CommonKit::ReadProblem::TooLarge);
        return false;
    }
    *text = CodePage::toUnicode(bytes);
    return true;
}

bool Save(const QString& text, const QString& path, QString* error)
{
    return CommonKit::SaveString(text, path, error);
}

QString BuiltinPath(const QString& caption)
{
    QString name = caption;
    if (name.startsWith('&'))
        name.remove(0, 1);
    return ProgramFolder::file("macros/" + name + ".mcr");
}

} // namespace MacroFiles
