#include "hexchatrelay.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kRemote = QStringLiteral("/org/hexchat/Remote");
const QString kPlugin = QStringLiteral("org.hexchat.plugin");
constexpr int kCallMs = 5000;

bool absent(const QDBusMessage& reply)
{
    const QString e = reply.errorName();
    return e == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
           || e == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

} // namespace

HexChatRelay::HexChatRelay(QDBusConnection bus, const QString& channel, const IrcPacer& pacer, MsClock clock,
                           QObject* parent)
    : Relay(pacer, std::move(clock), parent)
    , bus_(std::move(bus))
    , channel_(channel)
{
}

QString HexChatRelay::target() const
{
    return channel_.isEmpty() ? QStringLiteral("the current tab") : QStringLiteral("channel %1").arg(channel_);
}

int HexChatRelay::budget() const
{
    // As the bridge counts it, for a nick and host as long as networks give.
    const int channel = channel_.isEmpty() ? 50 : int(channel_.toUtf8().size());
    return 512 - (1 + 16 + 2 + 10 + 1 + 63 + 9 + channel + 2 + 2);
}

void HexChatRelay::call(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& args, Answer answer)
{
    QDBusMessage m = QDBusMessage::createMethodCall(owner_, path, interface, method);
    m.setArguments(args);
    // The bus could start a HexChat of its own; the user's is the one wanted.
    m.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(m, kCallMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, answer] {
        watcher->deleteLater();
        answer(watcher->reply());
    });
}

void HexChatRelay::look()
{
    if (!bus_.isConnected())
        return looked(Found::Nothing, QStringLiteral("no session bus"));
    // Asked of the bus itself, which starts nothing; later calls go to that HexChat alone.
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    m.setArguments({QString::fromLatin1(Service)});
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(m, kCallMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusMessage reply = watcher->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return looked(Found::Nothing, QStringLiteral("nobody serves %1 on the session bus")
                                              .arg(QString::fromLatin1(Service)));
        owner_ = reply.arguments().constFirst().toString();
        findTab();
    });
}

void HexChatRelay::findTab()
{
    auto lost = [this](const QDBusMessage& reply) {
        looked(Found::Nothing, absent(reply) ? QStringLiteral("it left the session bus") : reply.errorMessage());
    };
    const QString method = channel_.isEmpty() ? QStringLiteral("GetContext") : QStringLiteral("FindContext");
    const QVariantList args = channel_.isEmpty() ? QVariantList{} : QVariantList{QString(), channel_};
    call(kRemote, kPlugin, method, args, [this, lost](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage)
            return lost(reply);
        context_ = reply.arguments().value(0).toUInt();
        if (context_ == 0)
            return looked(Found::NoTarget, QStringLiteral("no tab of that name"));
        looked(Found::Ready);
    });
}

void HexChatRelay::hand(const QByteArray& line)
{
    // The remote's tab is shared with every other remote: set it for each line.
    call(kRemote, kPlugin, QStringLiteral("SetContext"), {QVariant::fromValue(context_)},
         [this, line](const QDBusMessage& set) {
             if (set.type() != QDBusMessage::ReplyMessage || !set.arguments().value(0).toBool())
                 return handed(Handed::Refused);
             // "say" sends its text as it is, a leading slash included.
             call(kRemote, kPlugin, QStringLiteral("Command"), {QStringLiteral("say ") + QString::fromUtf8(line)},
                  [this](const QDBusMessage& reply) {
                      if (reply.type() == QDBusMessage::ReplyMessage)
                          return handed(Handed::Taken);
                      if (absent(reply))
                          return handed(Handed::Refused);
                      // It may have said the line before it stopped answering.
                      handed(Handed::Unsure, reply.errorMessage());
                  });
         });
}
