// The mail client's reading of relay replies and its writing of the message on any bytes: a reply
// is complete exactly when its last line is three digits and a blank (or nothing) before CR LF,
// and a dot-stuffed body has only CR LF line ends and never a line of a single ".".
#include "fuzzinput.h"

#include "mail/wsksock.h"

namespace {
bool completeByHand(const QByteArray& bytes)
{
    if (!bytes.endsWith("\r\n"))
        return false;
    const QByteArray body = bytes.left(bytes.size() - 2);
    // A relay that ends lines with a bare LF inside a reply is read leniently.
    const qsizetype start = body.lastIndexOf('\n');
    const QByteArray last = start < 0 ? body : body.mid(start + 1);
    if (last.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (last[i] < '0' || last[i] > '9')
            return false;
    return last.size() == 3 || last[3] == ' ';
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const QByteArray reply = in.field();
    const QByteArray body = in.rest();

    FUZZ_CHECK(WSKSOCK::CompleteReply(reply) == completeByHand(reply));

    const QByteArray stuffed = WSKSOCK::DotStuff(body);
    for (qsizetype i = 0; i < stuffed.size(); ++i) {
        if (stuffed[i] == '\r')
            FUZZ_CHECK(i + 1 < stuffed.size() && stuffed[i + 1] == '\n');
        if (stuffed[i] == '\n')
            FUZZ_CHECK(i > 0 && stuffed[i - 1] == '\r');
    }
    FUZZ_CHECK(!stuffed.contains("\r\n.\r\n") && !stuffed.startsWith(".\r\n") && stuffed != ".");
    return 0;
}
