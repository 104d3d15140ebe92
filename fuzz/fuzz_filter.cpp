// Filter files on any content and any text: every rule line is read without a hang, the name is
// the text before the first ":", and a filter whose rules all put back what they find changes nothing.
#include "fuzzinput.h"

#include "effects/filters32.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    FuzzInput in(data, size);
    const QByteArray file = in.field();
    const QString text0 = CodePage::toUnicode(in.rest());

    const QString path = dir.path() + "/f.FLT";
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(file);
    f.close();

    const QString content = CodePage::toUnicode(file);
    const QString name = Filters32::GetFilterName(path);
    if (!name.isEmpty())
        FUZZ_CHECK(content.startsWith(name) && content.mid(name.size(), 1) == QLatin1String(":"));

    QString text = text0;
    Filters32::ApplyFilterFile(path, text);

    // The same rules turned into rules that give back what they find: the text stays as it was.
    QString same;
    for (QString line : content.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype arrow = line.indexOf(QLatin1String("!>"));
        same += arrow < 0 ? line : line.left(arrow) + QLatin1String("!>") + line.left(arrow);
        same += QLatin1String("\r\n");
    }
    QString unchanged = text0;
    Filters32::ApplyFilterRules(same, unchanged);
    FUZZ_CHECK(unchanged.compare(text0, Qt::CaseInsensitive) == 0);
    return 0;
}
