// The settings-file reader and writer on any file content: whatever the file holds, a key the shop
// writes reads back as written (blanks around it dropped, at most 749 characters), and another key
// keeps its value.
#include "fuzzinput.h"

#include "core/inifile.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
QString blanksTrimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.mid(b, e - b);
}

// Keys as the shop writes them: letters and digits.
QString keyFrom(const QByteArray& raw, const char* fallback)
{
    QString key;
    for (char c : raw)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            key += QLatin1Char(c);
    return key.isEmpty() ? QString::fromLatin1(fallback) : key;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.path() + "/quorl.ini";
    FuzzInput in(data, size);
    const QByteArray content = in.field();
    const QString key = keyFrom(in.field(), "KEY");
    const QString other = keyFrom(in.field(), "OTHER");
    QString value = CodePage::toUnicode(in.rest());
    // One-line boxes take no line breaks; the writer is not asked to store one.
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));

    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    const QString otherBefore = IniFile::ReadProfileString("quorl", other, "\x01", 750, path);
    FUZZ_CHECK(IniFile::WriteProfileString("quorl", key.toUpper(), value, path));
    const QString back = IniFile::ReadProfileString("quorl", key, "\x01", 750, path);
    FUZZ_CHECK(back == blanksTrimmed(value).left(749));
    if (other.compare(key, Qt::CaseInsensitive) != 0)
        FUZZ_CHECK(IniFile::ReadProfileString("quorl", other, "\x01", 750, path) == otherBefore);
    return 0;
}
