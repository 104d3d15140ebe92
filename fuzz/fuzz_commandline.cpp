// The file handed on the command line, on any name and any bytes: a pipe, a folder or a missing
// file is read as nothing and never blocks; a plain file reads back as its bytes; the decision
// follows the text and the file's own suffix, and what goes over the pages holds no CR.
#include "fuzzinput.h"

#include "app/startup.h"
#include "core/commonkit.h"
#include "editor/pages.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    FuzzInput in(data, size);
    const quint8 kind = in.byte() % 4;
    // A name of the fuzzer's choosing, kept inside the folder: a slash becomes a dot.
    QString name = CodePage::toUnicode(in.field()).replace(u'/', u'.').replace(QChar(0), u'_');
    if (name.isEmpty() || name == "." || name == "..")
        name = "f";
    name = name.left(80); // at most 240 bytes on disk, under the longest file name
    const bool inDottedFolder = in.byte() & 1;
    const QString folder = dir.path() + (inDottedFolder ? "/a.mcr" : "/plain");
    QDir().mkpath(folder);
    const QString path = folder + "/" + name;
    const QByteArray bytes = in.rest();

    QFile::remove(path);
    QDir(path).removeRecursively();
    switch (kind) {
    case 0:
        FUZZ_CHECK(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        break;
    case 1:
        FUZZ_CHECK(QDir().mkdir(path));
        break;
    case 2:
        break; // missing
    default: {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(bytes) == bytes.size());
        f.close();
    }
    }

    const QString content = CommonKit::ReadFileText(path);
    const Startup::HandedFile decision = Startup::ClassifyFile(path, content);
    if (kind != 3) {
        FUZZ_CHECK(content.isEmpty());
        FUZZ_CHECK(decision == Startup::HandedFile::Ignored);
    } else {
        FUZZ_CHECK(CodePage::fromUnicode(content) == bytes);
        const bool nothing = bytes.isEmpty() || bytes == "\r\n" || bytes == "link\r\n";
        const bool macro = name.endsWith(QLatin1String(".mcr"), Qt::CaseInsensitive);
        FUZZ_CHECK(decision == (nothing ? Startup::HandedFile::Ignored
                                        : macro ? Startup::HandedFile::Macro : Startup::HandedFile::Pages));
    }
    if (decision == Startup::HandedFile::Pages) {
        QString buffer;
        for (const QString& page : Pages::ReadAsciiFile(content, buffer))
            FUZZ_CHECK(!page.contains(u'\r'));
    }
    QFile::remove(path);
    QDir(path).removeRecursively();
    return 0;
}
