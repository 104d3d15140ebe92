#include "chatbus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QVariant>

#include <algorithm>

namespace ChatBus {

namespace {

const QString kPath = QStringLiteral("/org/quorl/ChatClient");
const QString kInterface = QStringLiteral("org.quorl.ChatClient");
// A client that does not answer within this is as good as absent; the shop must not stall.
constexpr int kTimeoutMs = 200;

// The deadline all calls of the running chat operation share (none outside an operation).
QDeadlineTimer& operationDeadline()
{
    static QDeadlineTimer deadline(QDeadlineTimer::Forever);
    return deadline;
}

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

// The reply's arguments, or none when there is no client or it failed.
QList<QVariant> call(const QString& method, const QList<QVariant>& args)
{
    if (!haveSessionBus())
        return {};
    const qint64 left = operationDeadline().remainingTime();
    if (left == 0)
        return {}; // the operation has had its time: the rest of its calls answer 0 at once
    QDBusMessage message = QDBusMessage::createMethodCall(service(), kPath, kInterface, method);
    message.setArguments(args);
    message.setAutoStartService(false);
    // The window stays live while the client thinks: a slow client slows the chat, not the shop.
    const int timeout = left < 0 ? kTimeoutMs : int(std::min<qint64>(kTimeoutMs, left));
    const QDBusMessage reply = Ask(message, timeout);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
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
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(message, timeoutMs);
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
    : previous_(operationDeadline())
{
    const QDeadlineTimer mine(qint64(seconds * 1000));
    // A nested operation keeps the outer deadline when that comes first.
    if (previous_.isForever() || mine < previous_)
        operationDeadline() = mine;
}

Operation::~Operation() { operationDeadline() = previous_; }

bool Expired() { return operationDeadline().hasExpired(); }

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
