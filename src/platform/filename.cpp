#include "filename.h"

namespace FileName {

namespace {

// The length of the well-formed UTF-8 sequence at i and its code point, or 0.
int sequence(const QByteArray& b, qsizetype i, char32_t* cp)
{
    const auto at = [&](qsizetype k) { return quint8(b[k]); };
    const quint8 lead = at(i);
    int n = 0;
    char32_t c = 0, min = 0;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > b.size())
        return 0;
    for (int k = 1; k < n; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (at(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *cp = c;
    return n;
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

QString decode(const QByteArray& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size();) {
        char32_t cp = 0;
        const int n = sequence(raw, i, &cp);
        if (n == 0) {
            out += QChar(char16_t(0xDC00 + quint8(raw[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
        i += n;
    }
    return out;
}

QByteArray encode(const QString& name)
{
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(u, name[i + 1].unicode()));
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out += char(u - 0xDC00);
        } else if (QChar::isSurrogate(u)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

QString WithSuffix(const QString& name, const QString& suffix)
{
    QString base = name;
    const qsizetype slash = base.lastIndexOf(u'/');
    const qsizetype dot = base.lastIndexOf(u'.');
    // A leading dot names a hidden file, not a suffix.
    if (dot > slash + 1 && dot < base.size() - 1)
        return base;
    while (base.endsWith(u'.') && base.size() > slash + 2)
        base.chop(1);
    return base + u'.' + suffix;
}

} // namespace FileName
