#pragma once
#include <QValidator>

class QLineEdit;

// Keeps a one-line box one line: text typed, pasted or dropped into it is cut at its first line
// break (CR or LF), as a one-line edit box takes a multi-line paste; what stood behind the caret
// stays. Like the code page's validator it refuses what Windows-1252 cannot hold.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

    // Gives the box a validator of this kind, owned by the box.
    static void install(QLineEdit* box);
};
