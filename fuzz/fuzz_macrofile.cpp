// Macro files on any bytes: what is read is the file's bytes as text, and a macro saved and read
// back is its text and one CR LF.
#include "fuzzinput.h"

#include "macroshop/macrofiles.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    FuzzInput in(data, size);
    const QByteArray bytes = in.rest();
    const QString path = dir.path() + "/m.mcr";
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();

    QString text, error;
    FUZZ_CHECK(MacroFiles::Read(path, &text, &error));
    FUZZ_CHECK(CodePage::fromUnicode(text) == bytes);

    FUZZ_CHECK(MacroFiles::Save(text, path, &error));
    QString back;
    FUZZ_CHECK(MacroFiles::Read(path, &back, &error));
    FUZZ_CHECK(back == text + QLatin1String("\r\n"));
    return 0;
}
