// Page files and ascii files on any bytes: the code page round-trips every byte, the reading rule
// never leaves a CR in a page, and pages written as an ascii file read back the same.
#include "fuzzinput.h"

#include "editor/pages.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const QByteArray bytes = in.rest();
    const QString content = CodePage::toUnicode(bytes);
    FUZZ_CHECK(CodePage::fromUnicode(content) == bytes);

    const QString page = Pages::PageFromPageFile(content);
    FUZZ_CHECK(!page.contains(QLatin1String("\r\n")));
    FUZZ_CHECK(content.startsWith(page));

    QString buffer;
    const Pages::Four pages = Pages::ReadAsciiFile(content, buffer);
    for (const QString& p : pages)
        FUZZ_CHECK(!p.contains(QLatin1Char('\r')));

    QString again;
    const Pages::Four back = Pages::ReadAsciiFile(Pages::AsciiFileText(pages), again);
    FUZZ_CHECK(back == pages);
    return 0;
}
