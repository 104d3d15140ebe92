#include "relay.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <memory>

namespace {
constexpr int kLaterMs = 200;  // a program that takes nothing for now is asked again after this
}

Relay::Relay(const IrcPacer& pacer, MsClock clock, QObject* parent)
    : QObject(parent)
    , pacer_(pacer)
    , clock_(std::move(clock))
{
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] { return timer->elapsed(); };
    }
    sendTimer_.setSingleShot(true);
    lookTimer_.setSingleShot(true);
    connect(&sendTimer_, &QTimer::timeout, this, &Relay::pump);
    connect(&lookTimer_, &QTimer::timeout, this, &Relay::pump);
}

void Relay::start()
{
    started_ = true;
    pump();
}

void Relay::post(const QByteArray& bytes)
{
    for (const QString& n : queue_.add(bytes, IrcColors::Palette::Standard, budget(),
                                       QStringLiteral("%1 in %2").arg(target(), program())))
        emit notice(n);
    pump();
    updateStatus();
}

void Relay::pump()
{
    if (!started_ || busy_)
        return;
    if (!known_) {
        // Looks for a program that is away go on, so the room says when it comes; a target goes
        // unchecked until art waits for it.
        if (queue_.empty() && told_ && found_ != Found::Nothing && found_ != Found::Silent)
            return updateStatus();
        if (lookTimer_.isActive())
            return;
        busy_ = true;
        look();
        return;
    }
    if (found_ != Found::Ready) {
        updateStatus();
        return;
    }
    if (queue_.empty()) {
        forget();
        updateStatus();
        return;
    }
    if (!pacer_.take(now())) {
        sendTimer_.start(int(std::max<qint64>(1, pacer_.waitMs(now()))));
        updateStatus();
        return;
    }
    busy_ = true;
    hand(queue_.front());
}

void Relay::looked(Found found, const QString& why)
{
    busy_ = false;
    const bool changed = !told_ || found != found_ || why != why_;
    found_ = found;
    why_ = why;
    known_ = found == Found::Ready;
    if (changed) {
        told_ = true;
        const QString kept = queue_.empty()       ? QString()
                             : queue_.size() == 1 ? QStringLiteral(" 1 line waits.")
                                                  : QStringLiteral(" %1 lines wait.").arg(queue_.size());
        switch (found) {
        case Found::Nothing:
            emit notice(QStringLiteral("%1 is not running (%2); the art waits until it is.%3")
                            .arg(program(), why, kept));
            break;
        case Found::Silent:
            emit notice(QStringLiteral("%1 does not answer (%2); the art waits until it does.%3")
                            .arg(program(), why, kept));
            break;
        case Found::NoTarget:
            emit notice(QStringLiteral("%1 %2 (%3); the art waits until it has.%4").arg(program(), lacking(), why, kept));
            break;
        case Found::Ready:
            emit notice(QStringLiteral("Art goes to %1 in %2.").arg(target(), program()));
            break;
        }
    }
    if (found != Found::Ready)
        lookTimer_.start(lookMs_);
    updateStatus();
    pump();
}

void Relay::handed(Handed outcome, const QString& why)
{
    busy_ = false;
    switch (outcome) {
    case Handed::Taken:
        queue_.pop_front();
        // The next line from the event loop, not from here: a long scroll builds no deep stack.
        updateStatus();
        sendTimer_.start(0);
        return;
    case Handed::Later:
        updateStatus();
        sendTimer_.start(kLaterMs);
        return;
    case Handed::Unsure:
        // Handing it again could show it twice; at most once is the promise.
        queue_.pop_front();
        emit notice(QStringLiteral("%1 did not say whether it took a line (%2); it is not sent again.")
                        .arg(program(), why));
        forget();
        break;
    case Handed::Refused:
        // Kept: the next look finds out why, and the line goes when the program is back.
        forget();
        // A full pipe or a busy program: not at once again.
        lookTimer_.start(std::min(lookMs_, 500));
        break;
    }
    updateStatus();
    pump();
}

void Relay::updateStatus()
{
    QString s;
    if (found_ == Found::Ready)
        s = QStringLiteral("To %1 in %2").arg(target(), program());
    else if (!told_)
        s = QStringLiteral("Looking for %1").arg(program());
    else if (found_ == Found::NoTarget)
        s = QStringLiteral("%1 %2").arg(program(), lacking());
    else if (found_ == Found::Silent)
        s = QStringLiteral("%1 does not answer").arg(program());
    else
        s = QStringLiteral("%1 is not running").arg(program());
    if (!queue_.empty()) {
        const qint64 t = now();
        const qint64 left = std::max<qint64>(0, pacer_.finishAt(t, queue_.size()) - t);
        s += queue_.size() == 1 ? QStringLiteral(" · 1 line to go") : QStringLiteral(" · %1 lines to go").arg(queue_.size());
        if (found_ == Found::Ready)
            s += QStringLiteral(", done about %1")
                     .arg(QDateTime::currentDateTime().addMSecs(left).toString(QStringLiteral("HH:mm:ss")));
        else
            s += QStringLiteral(", kept");
    }
    if (s != status_) {
        status_ = s;
        emit statusChanged(s);
    }
}
