#include "chatclientlauncher.h"

#include "platform/chatbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusArgument>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>

namespace {
const QString kDefaultName = QStringLiteral("org.quorl.ChatClient");
const QString kPath = QStringLiteral("/org/quorl/ChatClient");
const QString kInterface = QStringLiteral("org.quorl.ChatClient");
constexpr int kStartMs = 10000;
}

ChatClientLauncher::ChatClientLauncher(const QStringList& options, const QString& busName)
    : options_(options)
    , busName_(busName.isEmpty() ? kDefaultName : busName)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ChatClientLauncher::~ChatClientLauncher()
{
    stop();
}

QString ChatClientLauncher::program()
{
    const QString fromEnv = qEnvironmentVariable("QUORL_CHATCLIENT");
    return fromEnv.isEmpty() ? QStringLiteral(QUORL_CHATCLIENT_PATH) : fromEnv;
}

bool ChatClientLauncher::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        error_ = QStringLiteral("no session bus (run the test under dbus-run-session)");
        return false;
    }
    if (bus.interface()->isServiceRegistered(busName_)) {
        error_ = QStringLiteral("%1 is already on the bus").arg(busName_);
        return false;
    }
    QStringList args = {QStringLiteral("--headless"), QStringLiteral("--transcript"),
                        dir_.filePath(QStringLiteral("transcript.txt")), QStringLiteral("--bus-name"), busName_};
    args += options_;
    // A runtime folder of its own keeps the client from complaining about a missing one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("XDG_RUNTIME_DIR")).isEmpty()) {
        const QString runtime = dir_.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    }
    process_.setProcessEnvironment(env);

    // Waits on the bus's own notice, not on a guess of how long start-up takes.
    QDBusServiceWatcher watcher(busName_, bus, QDBusServiceWatcher::WatchForRegistration);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
    QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process_, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    process_.start(program(), args);
    limit.start(kStartMs);
    if (!bus.interface()->isServiceRegistered(busName_))
        loop.exec();
    if (!bus.interface()->isServiceRegistered(busName_)) {
        error_ = QStringLiteral("%1 did not come up: %2").arg(program(), process_.errorString());
        stop();
        return false;
    }
    return true;
}

void ChatClientLauncher::freeze()
{
    if (process_.state() == QProcess::Running)
        ::kill(pid_t(process_.processId()), SIGSTOP);
}

void ChatClientLauncher::thaw()
{
    if (process_.state() == QProcess::Running)
        ::kill(pid_t(process_.processId()), SIGCONT);
}

void ChatClientLauncher::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    thaw();
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QList<ChatClientLauncher::Line> ChatClientLauncher::transcript() const
{
    QList<Line> lines;
    QFile file(dir_.filePath(QStringLiteral("transcript.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& row : file.readAll().split('\n')) {
        const QList<QByteArray> fields = row.split('\t');
        if (fields.size() != 3)
            continue;
        lines.append({fields[0].toDouble(), fields[1], QByteArray::fromHex(fields[2])});
    }
    return lines;
}

QString ChatClientLauncher::dump() const
{
    QDBusMessage call = QDBusMessage::createMethodCall(busName_, kPath, kInterface, QStringLiteral("Dump"));
    const QDBusMessage reply = ChatBus::Ask(call, 2000);
    return reply.arguments().value(0).toString();
}

bool ChatClientLauncher::isWindow(quint32 hwnd) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(busName_, kPath, kInterface, QStringLiteral("IsWindow"));
    call << hwnd;
    const QDBusMessage reply = ChatBus::Ask(call, 2000);
    return reply.arguments().value(0).toBool();
}

bool ChatClientLauncher::isEnabled(quint32 hwnd) const
{
    const QRegularExpression line(QStringLiteral("^\\s*handle=%1 .* enabled=(\\d)").arg(hwnd),
                                  QRegularExpression::MultilineOption);
    return line.match(dump()).captured(1) == QLatin1String("1");
}

QString ChatClientLauncher::roomText(quint32 room) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(busName_, kPath, kInterface, QStringLiteral("RoomText"));
    call << room;
    return ChatBus::Ask(call, 5000).arguments().value(0).toString();
}

QList<double> ChatClientLauncher::roomLineX(quint32 room, int line, int first, int count) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(busName_, kPath, kInterface, QStringLiteral("RoomLineX"));
    call << room << line << first << count;
    return qdbus_cast<QList<double>>(ChatBus::Ask(call, 5000).arguments().value(0));
}
