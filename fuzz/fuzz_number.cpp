// The lenient number reading on any text: always a finite number, whole numbers always within the
// asked range, and a number written back as text reads as itself to fifteen digits.
#include "fuzzinput.h"

#include "core/lenientnumber.h"
#include "platform/codepage.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const qint64 lo = qint32(in.u32());
    const qint64 hi = lo + qint64(in.u32());
    const QString text = CodePage::toUnicode(in.rest());

    const double v = CommonKit::LenientNumber(text);
    FUZZ_CHECK(std::isfinite(v));
    const qint64 w = CommonKit::LenientWhole(text, lo, hi);
    FUZZ_CHECK(w >= lo && w <= hi);
    // Written back with fifteen significant digits, a number reads as itself to that precision.
    const double back = CommonKit::LenientNumber(CommonKit::NumberText(v));
    FUZZ_CHECK(std::fabs(back - v) <= 1e-14 * std::fabs(v));
    return 0;
}
