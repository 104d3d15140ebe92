#pragma once
#include <QObject>

// The docked character map goes with the macro shop: it leaves the screen when the shop is
// minimized (by its own button or by the window manager) and comes back beside it on restore.
class CharMapFollow : public QObject {
    Q_OBJECT
public:
    explicit CharMapFollow(QWidget* shop);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* shop_;
    bool mapAway_ = false;
};
