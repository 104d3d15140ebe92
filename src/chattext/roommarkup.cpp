#include "chattext/roommarkup.h"

#include <QColor>
#include <QHash>

namespace RoomMarkup {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool kindOf(const QString& name, Tag::Kind* kind)
{
    static const QHash<QString, Tag::Kind> known = {
        {QStringLiteral("font"), Tag::Font},    {QStringLiteral("b"), Tag::Bold},  {QStringLiteral("i"), Tag::Italic},
        {QStringLiteral("u"), Tag::Underline},  {QStringLiteral("sup"), Tag::Sup}, {QStringLiteral("sub"), Tag::Sub},
        {QStringLiteral("a"), Tag::Anchor},     {QStringLiteral("br"), Tag::Break},
    };
    const auto it = known.constFind(name);
    if (it == known.constEnd())
        return false;
    *kind = it.value();
    return true;
}

// One name=value pair at text[*i]; false when what is there is no attribute.
bool readAttribute(QStringView text, qsizetype* i, QString* key, QString* value)
{
    const qsizetype n = text.size();
    qsizetype k = *i;
    const qsizetype keyStart = k;
    while (k < n && (isAsciiLetter(text[k]) || text[k] == QLatin1Char('-')))
        ++k;
    if (k == keyStart)
        return false;
    *key = text.mid(keyStart, k - keyStart).toString().toLower();
    while (k < n && isBlank(text[k]))
        ++k;
    if (k >= n || text[k] != QLatin1Char('='))
        return false;
    ++k;
    while (k < n && isBlank(text[k]))
        ++k;
    if (k >= n)
        return false;
    if (text[k] == QLatin1Char('"') || text[k] == QLatin1Char('\'')) {
        const QChar quote = text[k++];
        const qsizetype valueStart = k;
        while (k < n && text[k] != quote) {
            if (isLineEnd(text[k]) || text[k] == QLatin1Char('<'))
                return false;
            ++k;
        }
        if (k >= n)
            return false;
        *value = text.mid(valueStart, k - valueStart).toString();
        ++k;
    } else {
        const qsizetype valueStart = k;
        while (k < n && !isBlank(text[k]) && !isLineEnd(text[k]) && text[k] != QLatin1Char('>')
               && text[k] != QLatin1Char('<') && text[k] != QLatin1Char('"') && text[k] != QLatin1Char('\''))
            ++k;
        if (k == valueStart)
            return false;
        *value = text.mid(valueStart, k - valueStart).toString();
    }
    *i = k;
    return true;
}

} // namespace

bool readTag(QStringView text, qsizetype at, Tag* tag)
{
    const qsizetype n = text.size();
    qsizetype i = at + 1;
    // Senders put a blank after "<" in anchors so that plain rooms keep them; only anchors may.
    bool spaced = false;
    while (i < n && isBlank(text[i])) {
        ++i;
        spaced = true;
    }
    Tag t;
    if (i < n && text[i] == QLatin1Char('/')) {
        t.closing = true;
        ++i;
        while (i < n && isBlank(text[i])) {
            ++i;
            spaced = true;
        }
    }
    const qsizetype nameStart = i;
    while (i < n && (isAsciiLetter(text[i]) || (i > nameStart && text[i].isDigit() && text[i].unicode() < 128)))
        ++i;
    if (!kindOf(text.mid(nameStart, i - nameStart).toString().toLower(), &t.kind))
        return false;
    if (spaced && t.kind != Tag::Anchor)
        return false;
    const bool takesAttributes = !t.closing && (t.kind == Tag::Font || t.kind == Tag::Anchor);
    while (true) {
        const qsizetype before = i;
        while (i < n && isBlank(text[i]))
            ++i;
        if (i >= n)
            return false;
        if (text[i] == QLatin1Char('>'))
            break;
        if (text[i] == QLatin1Char('/') && t.kind == Tag::Break && !t.closing && i + 1 < n
            && text[i + 1] == QLatin1Char('>')) {
            ++i;
            break;
        }
        // An attribute needs a blank before it, and only fonts and anchors have any.
        if (!takesAttributes || i == before)
            return false;
        QString key, value;
        if (!readAttribute(text, &i, &key, &value))
            return false;
        if (key == QLatin1String("color"))
            t.color = value;
        else if (key == QLatin1String("face"))
            t.face = value;
        else if (key == QLatin1String("size"))
            t.size = value;
        else if (key == QLatin1String("href"))
            t.href = value;
    }
    if (t.closing && t.kind == Tag::Break)
        return false;
    t.end = i + 1;
    *tag = t;
    return true;
}

QString readEntity(QStringView text, qsizetype at, qsizetype* length)
{
    // The longest entity a room knows is "&#x10FFFF;".
    qsizetype semi = -1;
    for (qsizetype k = at + 1; k < text.size() && k - at <= 10; ++k)
        if (text[k] == QLatin1Char(';')) {
            semi = k;
            break;
        }
    if (semi < 0)
        return {};
    const QString name = text.mid(at + 1, semi - at - 1).toString();
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},   {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QString(QChar(0xA0))},
    };
    QString out;
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                     : name.mid(1).toUInt(&ok, 10);
        // Controls, surrogates and the noncharacters name nothing a room can show.
        if (!ok || code == 0 || code > 0x10FFFF || (code < 0x20 && code != '\t') || (code >= 0xD800 && code < 0xE000)
            || (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE)
            return {};
        const char32_t c = code;
        out = QString::fromUcs4(&c, 1);
    } else {
        out = named.value(name.toLower());
    }
    if (!out.isEmpty())
        *length = semi - at + 1;
    return out;
}

bool parseColour(const QString& value, unsigned* rgb)
{
    QString v = value.trimmed();
    if (v.size() == 6 && !v.startsWith(QLatin1Char('#'))) {
        bool hex = false;
        v.toUInt(&hex, 16);
        if (hex)
            v.prepend(QLatin1Char('#'));
    }
    const QColor c = QColor::fromString(v);
    if (!c.isValid())
        return false;
    *rgb = c.rgb();
    return true;
}

void read(QStringView message, Sink& sink)
{
    const qsizetype n = message.size();
    qsizetype runStart = 0;
    QString pending;  // text whose entities have been resolved, before runStart
    auto flush = [&](qsizetype upTo) {
        if (pending.isEmpty()) {
            if (upTo > runStart)
                sink.text(message.mid(runStart, upTo - runStart));
        } else {
            pending += message.mid(runStart, upTo - runStart);
            sink.text(pending);
            pending.clear();
        }
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = message[i];
        if (c == QLatin1Char('<')) {
            Tag tag;
            if (readTag(message, i, &tag)) {
                flush(i);
                if (tag.kind == Tag::Break)
                    sink.lineBreak();
                else
                    sink.tag(tag);
                i = runStart = tag.end;
                continue;
            }
        } else if (c == QLatin1Char('&')) {
            qsizetype length = 0;
            const QString entity = readEntity(message, i, &length);
            if (length) {
                pending += message.mid(runStart, i - runStart);
                pending += entity;
                i = runStart = i + length;
                continue;
            }
        } else if (isLineEnd(c)) {
            flush(i);
            sink.lineBreak();
            i += (c == QLatin1Char('\r') && i + 1 < n && message[i + 1] == QLatin1Char('\n')) ? 2 : 1;
            runStart = i;
            continue;
        }
        ++i;
    }
    flush(n);
}

} // namespace RoomMarkup
