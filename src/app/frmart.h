#pragma once
#include "skin/skinnedform.h"

class QLabel;

// The splash window: our own picture with one status line.
class frmart : public SkinnedForm {
    Q_OBJECT
public:
    frmart();

    QLabel* Label1; // status line
    void setStatus(const QString& text);
    QString status() const;

protected:
    void paintEvent(QPaintEvent* e) override;
};
