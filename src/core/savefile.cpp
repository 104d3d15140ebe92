#include "savefile.h"

#include <QSaveFile>

namespace SaveFile {

namespace {
bool failAtFlush = false;

bool fail(QSaveFile& out, QString* error, const QString& why)
{
    if (error)
        *error = why.isEmpty() ? QStringLiteral("the file could not be written") : why;
    out.cancelWriting(); // the temporary file goes away with out
    return false;
}
}

void SetFailAtFlush(bool fail) { failAtFlush = fail; }

bool Write(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    if (out.write(bytes) != bytes.size())
        return fail(out, error, out.errorString());
    if (!out.flush() || out.error() != QFileDevice::NoError)
        return fail(out, error, out.errorString());
    if (failAtFlush)
        return fail(out, error, QStringLiteral("No space left on device"));
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace SaveFile
