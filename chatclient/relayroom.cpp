#include "relayroom.h"

#include "chatclient.h"
#include "hexchatrelay.h"
#include "weechatrelay.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QStringEncoder>

namespace {

QByteArray roomBytes(const QString& text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

const QString kWeeChat = QStringLiteral("weechat");
const QString kBuffer = QStringLiteral("buffer");
const QString kHexChat = QStringLiteral("hexchat");
// Shared with the IRC bridge's options.
const QString kChannel = QStringLiteral("channel");
const QString kPace = QStringLiteral("irc-pace");

constexpr int kLongestName = 256;

} // namespace

RelayRoom::RelayRoom(ChatClient& client, std::unique_ptr<Relay> relay)
    : client_(client)
    , relay_(std::move(relay))
{
    connect(&client_, &ChatClient::roomPosted, this, [this](const QByteArray& title, const QByteArray& bytes) {
        title_ = title;
        relay_->post(bytes);
    });
    connect(relay_.get(), &Relay::notice, this, [this](const QString& text) {
        if (Window* w = room())
            client_.showNotice(w, roomBytes(text));
    });
    connect(relay_.get(), &Relay::statusChanged, this, [this](const QString& text) {
        if (Window* w = room())
            client_.setRoomStatus(w, roomBytes(text));
    });
}

RelayRoom::~RelayRoom() = default;

Window* RelayRoom::room()
{
    if (!title_.isEmpty())
        return client_.room(title_);
    // Before anything was posted: the room the client opened first.
    if (Window* mdi = client_.tree().childOf(client_.frame(), "MDIClient"))
        for (auto& c : mdi->children)
            if (c->role == Role::Room)
                return c.get();
    return nullptr;
}

QList<QCommandLineOption> RelayRoom::options()
{
    return {
        {kWeeChat, QStringLiteral("Send the room's art to a running WeeChat through its fifo pipe (FIFO, given "
                                  "after the options, or found in WeeChat's folders).")},
        {kBuffer, QStringLiteral("The WeeChat buffer to send to, such as irc.libera.#art (else its current one)."),
         QStringLiteral("BUFFER")},
        {kHexChat, QStringLiteral("Send the room's art to a running HexChat over D-Bus (into --channel, else its "
                                  "current tab).")},
    };
}

std::vector<std::unique_ptr<RelayRoom>> RelayRoom::fromOptions(const QCommandLineParser& parser, ChatClient& client,
                                                               QString* error)
{
    std::vector<std::unique_ptr<RelayRoom>> rooms;
    const bool weechat = parser.isSet(kWeeChat);
    const bool hexchat = parser.isSet(kHexChat);
    const QStringList rest = parser.positionalArguments();
    if (!weechat && !hexchat) {
        if (parser.isSet(kBuffer))
            *error = QStringLiteral("--buffer goes with --weechat");
        else if (!rest.isEmpty())
            *error = QStringLiteral("\"%1\" is no option").arg(rest.first());
        return rooms;
    }
    if (rest.size() > (weechat ? 1 : 0)) {
        *error = QStringLiteral("\"%1\" is no option; --weechat takes one FIFO").arg(rest.last());
        return rooms;
    }
    if (parser.isSet(kBuffer) && !weechat) {
        *error = QStringLiteral("--buffer goes with --weechat");
        return rooms;
    }
    IrcPacer pacer;
    if (!IrcPacer::parse(parser.value(kPace), &pacer, error)) {
        error->prepend(QStringLiteral("--irc-pace: "));
        return rooms;
    }
    if (weechat) {
        const QString buffer = parser.value(kBuffer).trimmed();
        if (buffer.size() > kLongestName || buffer.contains(QLatin1Char(' ')) || buffer.contains(QLatin1Char('\n'))
            || (parser.isSet(kBuffer) && buffer.count(QLatin1Char('.')) < 1)) {
            *error = QStringLiteral("--buffer wants a WeeChat buffer such as irc.libera.#art, not \"%1\"")
                         .arg(parser.value(kBuffer));
            return rooms;
        }
        rooms.push_back(std::make_unique<RelayRoom>(
            client, std::make_unique<WeeChatRelay>(rest.value(0), buffer, pacer)));
    }
    if (hexchat) {
        // With --irc the channel is the bridge's; alone it names HexChat's tab.
        const QString channel = parser.value(kChannel).trimmed();
        if (channel.size() > kLongestName || channel.contains(QLatin1Char(' ')) || channel.contains(QLatin1Char(','))) {
            *error = QStringLiteral("--channel wants a channel name such as '#art', not \"%1\"").arg(channel);
            return rooms;
        }
        rooms.push_back(std::make_unique<RelayRoom>(
            client, std::make_unique<HexChatRelay>(QDBusConnection::sessionBus(), channel, pacer)));
    }
    return rooms;
}
