#pragma once
#include <QWidget>

class QLabel;
class QPushButton;

// Shown while a relay takes its time over the end of a mail: says what is happening and lets the
// user stop waiting (the mail may arrive all the same).
class MailWait : public QWidget {
    Q_OBJECT
public:
    MailWait();
    // Called as the wait goes on; shows the window once the relay has been slow a few seconds.
    // False once the user has stopped the wait.
    bool watch(double waited);
    bool stopped() const { return stopped_; }

    QLabel* Label1;       // what is happening
    QPushButton* Button1; // "&Stop waiting"

private:
    bool stopped_ = false;
};
