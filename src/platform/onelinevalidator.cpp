#include "onelinevalidator.h"

#include "platform/codepage.h"

#include <QLineEdit>

#include <algorithm>

QValidator::State OneLineValidator::validate(QString& input, int& pos) const
{
    qsizetype at = 0;
    while (at < input.size() && input[at] != '\r' && input[at] != '\n')
        ++at;
    if (at == input.size())
        return CodePage::canEncode(input) ? Acceptable : Invalid;
    // The box held no line break before, so the break came with the text just put in front of
    // the caret: that text ends at the break, the text behind the caret stays.
    const qsizetype tail = std::clamp<qsizetype>(pos, at, input.size());
    QString rest = input.mid(tail);
    rest.remove('\r');
    rest.remove('\n');
    input = input.left(at) + rest;
    pos = int(at);
    return CodePage::canEncode(input) ? Acceptable : Invalid;
}

void OneLineValidator::install(QLineEdit* box) { box->setValidator(new OneLineValidator(box)); }
