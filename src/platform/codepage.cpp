#include "codepage.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace CodePage {

namespace {
constexpr const char* kName = "windows-1252";
}

QString toUnicode(const QByteArray& bytes)
{
    QStringDecoder decoder(kName);
    return decoder.decode(bytes);
}

QByteArray fromUnicode(const QString& text)
{
    QStringEncoder encoder(kName);
    return encoder.encode(text);
}

bool canEncode(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
        const QByteArray b = encoder.encode(QString(c));
        if (encoder.hasError() || b.size() != 1)
            return false;
    }
    return true;
}

QString encodable(const QString& text)
{
    if (canEncode(text))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (canEncode(QString(c)))
            out += c;
    return out;
}

QString firstUnencodable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character past the first plane is two units and is never in the code page.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return text.mid(i, 2);
        if (!canEncode(QString(text[i])))
            return QString(text[i]);
    }
    return {};
}

QString describeCharacter(const QString& character)
{
    const QList<uint> points = character.toUcs4();
    const uint cp = points.isEmpty() ? 0 : points.first();
    const QString code = "U+" + QString::number(cp, 16).toUpper().rightJustified(4, u'0');
    // A control or a lone surrogate would show as nothing: the code alone names it.
    if (character.size() == 1 && (!character[0].isPrint() || character[0].isSurrogate()))
        return code;
    return QStringLiteral("\"%1\" (%2)").arg(character, code);
}

} // namespace CodePage

#include <QValidator>

namespace CodePage {

namespace {
class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return canEncode(input) ? Acceptable : Invalid; }
};
}

QValidator* validator(QObject* parent) { return new Cp1252Validator(parent); }

} // namespace CodePage
