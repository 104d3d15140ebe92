#include "hexchatrelay.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kRemote = QStringLiteral("/org/hexchat/Remote");
const QString kPlugin = QStringLiteral("org.hexchat.plugin");
constexpr int kCallMs = 5000;

bool silent(const QDBusMessage& reply)
{
    const QString e = reply.errorName();
    return e == QLatin1String("org.freedesktop.DBus.Error.NoReply")
           || e == QLatin1String("org.freedesktop.DBus.Error.Timeout");
}

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

QString HexChatRelay::lacking() const
{
    return channel_.isEmpty() ? QStringLiteral("has no joined channel in the current tab")
                              : QStringLiteral("has no joined channel %1").arg(channel_);
}

int HexChatRelay::budget() const
{
    // For a nick, user and host as long as networks give: HexChat splits nothing again.
    const int channel = channel_.isEmpty() ? 50 : int(channel_.toUtf8().size());
    return Relay::budgetFor(channel);
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

void HexChatRelay::failed(const QDBusMessage& reply)
{
    // A HexChat that stands still is there all the same: it is not called away.
    if (silent(reply))
        return looked(Found::Silent, QStringLiteral("no reply within %1 s").arg(kCallMs / 1000));
    looked(Found::Nothing, absent(reply) ? QStringLiteral("it left the session bus") : reply.errorMessage());
}

void HexChatRelay::findTab()
{
    auto lost = [this](const QDBusMessage& reply) { failed(reply); };
    // No names: the tab in front. (GetContext would give this remote's own tab, the last one set.)
    call(kRemote, kPlugin, QStringLiteral("FindContext"), {QString(), channel_}, [this, lost](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage)
            return lost(reply);
        context_ = reply.arguments().value(0).toUInt();
        if (context_ == 0)
            return looked(Found::NoTarget, QStringLiteral("no tab of that name"));
        // The tab's channel and network, then HexChat's list of channels says whether it is joined.
        call(kRemote, kPlugin, QStringLiteral("SetContext"), {QVariant::fromValue(context_)},
             [this, lost](const QDBusMessage& set) {
                 if (set.type() != QDBusMessage::ReplyMessage)
                     return lost(set);
                 call(kRemote, kPlugin, QStringLiteral("GetInfo"), {QStringLiteral("channel")},
                      [this, lost](const QDBusMessage& ch) {
                          if (ch.type() != QDBusMessage::ReplyMessage)
                              return lost(ch);
                          const QString channel = ch.arguments().value(0).toString();
                          call(kRemote, kPlugin, QStringLiteral("GetInfo"), {QStringLiteral("network")},
                               [this, lost, channel](const QDBusMessage& net) {
                                   if (net.type() != QDBusMessage::ReplyMessage)
                                       return lost(net);
                                   const QString network = net.arguments().value(0).toString();
                                   call(kRemote, kPlugin, QStringLiteral("ListGet"), {QStringLiteral("channels")},
                                        [this, lost, channel, network](const QDBusMessage& list) {
                                            if (list.type() != QDBusMessage::ReplyMessage)
                                                return lost(list);
                                            checkJoined(list.arguments().value(0).toUInt(), channel, network);
                                        });
                               });
                      });
             });
    });
}

void HexChatRelay::checkJoined(uint list, const QString& channel, const QString& network)
{
    auto lost = [this](const QDBusMessage& reply) { failed(reply); };
    auto notJoined = [this, list] {
        call(kRemote, kPlugin, QStringLiteral("ListFree"), {QVariant::fromValue(list)}, [](const QDBusMessage&) {});
        looked(Found::NoTarget, channel_.isEmpty() ? QStringLiteral("it shows a server or a channel it is not in")
                                                   : QStringLiteral("HexChat is not in it"));
    };
    call(kRemote, kPlugin, QStringLiteral("ListNext"), {QVariant::fromValue(list)},
         [=, this](const QDBusMessage& next) {
             if (next.type() != QDBusMessage::ReplyMessage)
                 return lost(next);
             if (!next.arguments().value(0).toBool())
                 return notJoined();
             // One entry: its name, network, kind (2 a channel) and people in it (none when parted).
             call(kRemote, kPlugin, QStringLiteral("ListStr"), {QVariant::fromValue(list), QStringLiteral("channel")},
                  [=, this](const QDBusMessage& name) {
                      if (name.type() != QDBusMessage::ReplyMessage)
                          return lost(name);
                      if (name.arguments().value(0).toString().compare(channel, Qt::CaseInsensitive) != 0)
                          return checkJoined(list, channel, network);
                      call(kRemote, kPlugin, QStringLiteral("ListStr"),
                           {QVariant::fromValue(list), QStringLiteral("network")}, [=, this](const QDBusMessage& nw) {
                               if (nw.type() != QDBusMessage::ReplyMessage)
                                   return lost(nw);
                               if (nw.arguments().value(0).toString() != network)
                                   return checkJoined(list, channel, network);
                               call(kRemote, kPlugin, QStringLiteral("ListInt"),
                                    {QVariant::fromValue(list), QStringLiteral("type")},
                                    [=, this](const QDBusMessage& type) {
                                        if (type.type() != QDBusMessage::ReplyMessage)
                                            return lost(type);
                                        if (type.arguments().value(0).toInt() != 2)
                                            return checkJoined(list, channel, network);
                                        call(kRemote, kPlugin, QStringLiteral("ListInt"),
                                             {QVariant::fromValue(list), QStringLiteral("users")},
                                             [=, this](const QDBusMessage& users) {
                                                 if (users.type() != QDBusMessage::ReplyMessage)
                                                     return lost(users);
                                                 if (users.arguments().value(0).toInt() <= 0)
                                                     return notJoined();
                                                 call(kRemote, kPlugin, QStringLiteral("ListFree"),
                                                      {QVariant::fromValue(list)}, [](const QDBusMessage&) {});
                                                 looked(Found::Ready);
                                             });
                                    });
                           });
                  });
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
