#include "codepage.h"

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
