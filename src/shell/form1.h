#pragma once
#include <QWidget>

class QAction;
class QMenu;

// The hidden window that holds the tray menu `file`: read-me, advertizing, the credits
// material, the about boxes, bringing the windows back and leaving.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1();

    QMenu* file;
    QAction* readme;
    QAction* advertize;
    QAction* betatesters;
    QAction* credits;
    QAction* greets;
    QAction* coauthor;
    QAction* aboutquorl;
    QAction* aboutskin;
    QAction* aboutgly;
    QAction* maximize;
    QAction* exit;

    void readme_Click();
    void aboutskin_Click();
    void maximize_Click();
    void exit_Click();
};
