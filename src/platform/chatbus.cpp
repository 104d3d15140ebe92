#include "chatbus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace ChatBus {

namespace {

const QString kPath = QStringLiteral("/org/quorl/ChatClient");
const QString kInterface = QStringLiteral("org.quorl.ChatClient");
// Between two looks at a client that has not answered yet.
constexpr int kLookMs = 50;

// The running chat operation: its deadline, and whether one of its calls gave the client up.
struct OperationState {
    QDeadlineTimer deadline{QDeadlineTimer::Forever};
    bool givenUp = false;
    Loss why = Loss::None; // what gave the client up
};

OperationState& operation()
{
    static OperationState state;
    return state;
}

quint64 callsSent = 0;

QString& service()
{
    static QString name = qEnvironmentVariableIsEmpty("QUORL_CHAT_BUS")
                              ? QStringLiteral("org.quorl.ChatClient")
                              : qEnvironmentVariable("QUORL_CHAT_BUS");
    return name;
}

// Without a session bus address libdbus would try to launch a bus; no bus means no client.
bool haveSessionBus()
{
    if (!QCoreApplication::instance())
        return false;
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus")))
            return false;
    }
    return QDBusConnection::sessionBus().isConnected();
}

quint64 callsAnswered = 0;
Loss lastLoss = Loss::None;

// What the client is while a call waits: gone from the bus, stopped, or there. A client that is
// there is waited on whether it spends CPU or sleeps: one asleep on a timer or on its disk looks
// no different from outside than one that hangs, and only the bound tells them apart.
class ClientWatch {
public:
    enum class State { Gone, Stopped, There };

    State look()
    {
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        if (!bus || !bus->isServiceRegistered(service()).value())
            return State::Gone;
        if (!pid_)
            pid_ = bus->servicePid(service()).value();
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
        // Without a process to look at the client counts as there: the wait keeps its bound.
        if (!pid_ || !stat.open(QIODevice::ReadOnly))
            return State::There;
        const QByteArray line = stat.readAll();
        // After the name in parentheses: the state.
        const qsizetype at = line.lastIndexOf(')') + 2;
        const char state = at >= 2 && at < line.size() ? line[at] : 0;
        // Stopped by a signal or held by a tracer: it cannot answer until someone lets it go on.
        if (state == 'T' || state == 't')
            return State::Stopped;
        if (state == 'Z' || state == 'X')
            return State::Gone;
        return State::There;
    }

private:
    uint pid_ = 0;
};

// Waits for the answer while the client is there, at most boundMs; an invalid message when it
// was given up, and *loss says why.
QDBusMessage answer(const QDBusMessage& message, int boundMs, Loss* loss)
{
    // The bus library's own time-out comes after ours, so the bound is always ours to report.
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(message, boundMs + 1000);
    QElapsedTimer waited;
    waited.start();
    ClientWatch watch;
    while (!pending.isFinished()) {
        const QDBusMessage reply = Ask(pending, int(std::clamp<qint64>(boundMs - waited.elapsed(), 1, kLookMs)));
        if (reply.type() != QDBusMessage::InvalidMessage)
            return reply;
        if (waited.elapsed() >= boundMs) {
            *loss = Loss::Late;
            return {};
        }
        switch (watch.look()) {
        case ClientWatch::State::Gone: *loss = Loss::Gone; return {};
        case ClientWatch::State::Stopped: *loss = Loss::Stopped; return {};
        case ClientWatch::State::There: break;
        }
    }
    return pending.reply();
}

// The reply's arguments, or none when there is no client or it failed.
QList<QVariant> call(const QString& method, const QList<QVariant>& args)
{
    if (!haveSessionBus() || operation().givenUp)
        return {}; // a client given up in this operation is not asked again in it
    QDBusMessage message = QDBusMessage::createMethodCall(service(), kPath, kInterface, method);
    message.setArguments(args);
    message.setAutoStartService(false);
    // No call of an operation waits past its deadline; one that has passed sends nothing more.
    const OperationState& op = operation();
    const qint64 left = op.deadline.isForever() ? qint64(WorkingBoundSeconds * 1000) : op.deadline.remainingTime();
    if (left <= 0) {
        operation().givenUp = true;
        operation().why = lastLoss = Loss::Late;
        return {};
    }
    ++callsSent;
    // The window stays live while the client thinks: a slow client slows the chat, not the shop.
    Loss loss = Loss::None;
    const QDBusMessage reply = answer(message, int(std::min<qint64>(left, qint64(WorkingBoundSeconds * 1000))), &loss);
    if (reply.type() == QDBusMessage::InvalidMessage) {
        lastLoss = loss;
        if (!operation().deadline.isForever()) {
            operation().givenUp = true;
            operation().why = loss;
        }
    }
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    ++callsAnswered;
    return reply.arguments();
}

quint32 callUInt(const QString& method, const QList<QVariant>& args)
{
    return call(method, args).value(0).toUInt();
}

qint64 callInt64(const QString& method, const QList<QVariant>& args)
{
    return call(method, args).value(0).toLongLong();
}

} // namespace

QDBusMessage Ask(const QDBusMessage& message, int timeoutMs)
{
    return Ask(QDBusConnection::sessionBus().asyncCall(message, timeoutMs), timeoutMs);
}

QDBusMessage Ask(QDBusPendingCall pending, int timeoutMs)
{
    if (!pending.isFinished()) {
        QDBusPendingCallWatcher watcher(pending);
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        limit.setTimerType(Qt::PreciseTimer);
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return pending.isFinished() ? pending.reply() : QDBusMessage();
}

Operation::Operation(double seconds)
    : previous_(operation().deadline)
    , previousGivenUp_(operation().givenUp)
    , previousWhy_(operation().why)
{
    const QDeadlineTimer mine(qint64(seconds * 1000));
    // A nested operation keeps the outer deadline when that comes first.
    if (previous_.isForever() || mine < previous_)
        operation().deadline = mine;
}

Operation::~Operation()
{
    // A client given up inside is given up for the outer operation too; outside any, each call
    // stands alone.
    const bool givenUp = operation().givenUp || previousGivenUp_;
    const Loss why = previousGivenUp_ ? previousWhy_ : operation().why;
    operation().deadline = previous_;
    operation().givenUp = !previous_.isForever() && givenUp;
    operation().why = operation().givenUp ? why : Loss::None;
}

Loss GivenUpBy() { return operation().givenUp ? operation().why : Loss::None; }

bool Expired() { return operation().givenUp || operation().deadline.hasExpired(); }

quint64 CallsSent() { return callsSent; }

quint64 CallsAnswered() { return callsAnswered; }

Loss TakeLoss() { return std::exchange(lastLoss, Loss::None); }

QString ClientOwner()
{
    if (!haveSessionBus())
        return {};
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus ? bus->serviceOwner(service()).value() : QString();
}

QString serviceName()
{
    return service();
}

void setServiceName(const QString& name)
{
    service() = name;
}

HWND FindWindowA(const QByteArray& cls, const QByteArray& title)
{
    return callUInt(QStringLiteral("FindWindow"), {QVariant(cls), QVariant(title)});
}

HWND FindWindowExA(HWND parent, HWND childAfter, const QByteArray& cls, const QByteArray& title)
{
    return callUInt(QStringLiteral("FindWindowEx"),
                    {QVariant::fromValue(parent), QVariant::fromValue(childAfter), QVariant(cls), QVariant(title)});
}

qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, qint64 lParam)
{
    if (!hwnd)
        return 0;
    return callInt64(QStringLiteral("SendMessage"), {QVariant::fromValue(hwnd), QVariant::fromValue(msg),
                                                      QVariant::fromValue(wParam), QVariant::fromValue(lParam)});
}

qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, const QByteArray& text)
{
    if (!hwnd)
        return 0;
    return callInt64(QStringLiteral("SendMessageText"), {QVariant::fromValue(hwnd), QVariant::fromValue(msg),
                                                          QVariant::fromValue(wParam), QVariant(text)});
}

qint64 SendMessageA(HWND hwnd, quint32 msg, quint64 wParam, QByteArray* text)
{
    if (text)
        text->clear();
    if (!hwnd)
        return 0;
    const QList<QVariant> reply = call(QStringLiteral("SendMessageGetText"),
                                       {QVariant::fromValue(hwnd), QVariant::fromValue(msg), QVariant::fromValue(wParam)});
    if (text)
        *text = reply.value(1).toByteArray();
    return reply.value(0).toLongLong();
}

bool PostMessageA(HWND hwnd, quint32 msg, quint64 wParam, qint64 lParam)
{
    if (!hwnd)
        return false;
    return call(QStringLiteral("PostMessage"), {QVariant::fromValue(hwnd), QVariant::fromValue(msg),
                                                QVariant::fromValue(wParam), QVariant::fromValue(lParam)})
        .value(0)
        .toBool();
}

bool EnableWindow(HWND hwnd, bool enable)
{
    if (!hwnd)
        return false;
    return call(QStringLiteral("EnableWindow"), {QVariant::fromValue(hwnd), QVariant(enable)}).value(0).toBool();
}

HMENU GetMenu(HWND hwnd)
{
    if (!hwnd)
        return 0;
    return callUInt(QStringLiteral("GetMenu"), {QVariant::fromValue(hwnd)});
}

HMENU GetSubMenu(HMENU menu, int pos)
{
    if (!menu)
        return 0;
    return callUInt(QStringLiteral("GetSubMenu"), {QVariant::fromValue(menu), QVariant(pos)});
}

quint32 GetMenuItemID(HMENU menu, int pos)
{
    if (!menu)
        return NoMenuItem;
    const QList<QVariant> reply = call(QStringLiteral("GetMenuItemID"), {QVariant::fromValue(menu), QVariant(pos)});
    return reply.isEmpty() ? NoMenuItem : reply.value(0).toUInt();
}

} // namespace ChatBus
