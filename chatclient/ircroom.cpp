#include "ircroom.h"

#include "chatclient.h"

#include <QCommandLineParser>
#include <QStringEncoder>

namespace {

QByteArray roomBytes(const QString& text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

const QString kIrc = QStringLiteral("irc");
const QString kChannel = QStringLiteral("channel");
const QString kNick = QStringLiteral("nick");
const QString kTls = QStringLiteral("tls");
const QString kColours = QStringLiteral("irc-colors");
const QString kPace = QStringLiteral("irc-pace");
const QString kCa = QStringLiteral("irc-ca");

} // namespace

IrcRoom::IrcRoom(ChatClient& client, const IrcSettings& settings)
    : client_(client)
    , bridge_(settings)
    , title_(roomBytes(settings.channel))
{
    // The room the client opened first becomes the channel's room.
    Window* first = nullptr;
    if (Window* mdi = client_.tree().childOf(client_.frame(), "MDIClient"))
        for (auto& c : mdi->children)
            if (c->role == Role::Room) {
                first = c.get();
                break;
            }
    if (first)
        client_.renameRoom(first, title_);
    // Nobody is known to be in the channel until the server says so.
    room();

    connect(&client_, &ChatClient::roomPosted, this, [this](const QByteArray& title, const QByteArray& bytes) {
        if (title == title_)
            bridge_.post(bytes);
    });
    connect(&bridge_, &IrcBridge::said, this, [this](const QString& nick, const QString& text) {
        client_.showForeign(room(), roomBytes(nick), roomBytes(text));
    });
    connect(&bridge_, &IrcBridge::notice, this, [this](const QString& text) {
        client_.showNotice(room(), roomBytes(text));
    });
    connect(&bridge_, &IrcBridge::statusChanged, this, [this](const QString& text) {
        client_.setRoomStatus(room(), roomBytes(text));
    });
    // The people list is the channel's, and the user speaks there under the nick the server took.
    connect(&bridge_, &IrcBridge::membersChanged, this, [this](const QStringList& names) {
        people_ = roomBytes(names.join(QStringLiteral("\r\n")));
        client_.setRoomPeople(room(), people_);
    });
    connect(&bridge_, &IrcBridge::nickChanged, this, [this](const QString& nick) {
        client_.setRoomSpeaker(room(), roomBytes(nick));
    });
}

Window* IrcRoom::room()
{
    // A room closed by the user opens again when the channel has something to show.
    Window* w = client_.tree().window(handle_);
    if (!w || w->text != title_) {
        w = client_.room(title_);
        handle_ = w ? w->handle : 0;
        // A room opened again shows what the channel's room showed.
        client_.setRoomPeople(w, people_);
        client_.setRoomSpeaker(w, roomBytes(bridge_.nick()));
        client_.setRoomStatus(w, roomBytes(bridge_.status()));
    }
    return w;
}

QList<QCommandLineOption> IrcRoom::options()
{
    return {
        {kIrc, QStringLiteral("Relay the room to an IRC server."), QStringLiteral("HOST[:PORT]")},
        {kChannel, QStringLiteral("The IRC channel to join, such as #art."), QStringLiteral("CHANNEL")},
        {kNick, QStringLiteral("The nick on IRC."), QStringLiteral("NICK")},
        {kTls, QStringLiteral("Connect to IRC with TLS (port 6697 unless given).")},
        {kColours, QStringLiteral("IRC colours to use: 16 or 99."), QStringLiteral("N"), QStringLiteral("16")},
        {kPace, QStringLiteral("Lines to IRC: SECONDS[/BURST] per line after a burst, or off."),
         QStringLiteral("PACE"), QStringLiteral("2/5")},
        {kCa, QStringLiteral("Also trust the certificates in FILE (PEM), such as a private server's own."),
         QStringLiteral("FILE")},
    };
}

bool IrcRoom::parseAddress(const QString& text, bool tls, QString* host, quint16* port)
{
    QString h = text.trimmed();
    QString p;
    if (h.startsWith(QLatin1Char('['))) {
        const qsizetype close = h.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        const QString rest = h.mid(close + 1);
        h = h.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return false;
            p = rest.mid(1);
        }
    } else if (h.count(QLatin1Char(':')) == 1) {
        p = h.section(QLatin1Char(':'), 1);
        h = h.section(QLatin1Char(':'), 0, 0);
    }
    if (h.isEmpty() || h.contains(QLatin1Char(' ')))
        return false;
    *host = h;
    *port = tls ? 6697 : 6667;
    if (!p.isEmpty()) {
        bool ok = false;
        const uint n = p.toUInt(&ok);
        if (!ok || n == 0 || n > 65535)
            return false;
        *port = quint16(n);
    }
    return true;
}

std::unique_ptr<IrcRoom> IrcRoom::fromOptions(const QCommandLineParser& parser, ChatClient& client, QString* error)
{
    if (!parser.isSet(kIrc))
        return nullptr;
    IrcSettings s;
    s.tls = parser.isSet(kTls);
    if (!parseAddress(parser.value(kIrc), s.tls, &s.host, &s.port)) {
        *error = QStringLiteral("--irc wants HOST or HOST:PORT, not \"%1\"").arg(parser.value(kIrc));
        return nullptr;
    }
    s.channel = parser.value(kChannel).trimmed();
    static const QString kChannelStart = QStringLiteral("#&+!");
    if (s.channel.size() < 2 || !kChannelStart.contains(s.channel[0]) || s.channel.contains(QLatin1Char(' '))
        || s.channel.contains(QLatin1Char(',')) || s.channel.contains(QChar(7))) {
        *error = QStringLiteral("--channel wants a channel name such as '#art', not \"%1\"").arg(s.channel);
        return nullptr;
    }
    s.nick = parser.value(kNick).trimmed();
    static const QString kNickSpecial = QStringLiteral("[]\\`_^{|}-");
    bool nickOk = !s.nick.isEmpty() && !s.nick[0].isDigit() && s.nick[0] != QLatin1Char('-');
    for (QChar c : s.nick)
        nickOk = nickOk && c.unicode() < 128 && (c.isLetterOrNumber() || kNickSpecial.contains(c));
    if (!nickOk) {
        *error = QStringLiteral("--nick wants a nick of letters, digits and []\\`_^{|}-, not \"%1\"").arg(s.nick);
        return nullptr;
    }
    const QString colours = parser.value(kColours).trimmed();
    if (colours == QLatin1String("99")) {
        s.palette = IrcColors::Palette::Extended;
    } else if (colours != QLatin1String("16")) {
        *error = QStringLiteral("--irc-colors wants 16 or 99, not \"%1\"").arg(colours);
        return nullptr;
    }
    if (parser.isSet(kCa)) {
        s.trusted = QSslCertificate::fromPath(parser.value(kCa), QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
        if (s.trusted.isEmpty()) {
            *error = QStringLiteral("--irc-ca: no certificate in \"%1\"").arg(parser.value(kCa));
            return nullptr;
        }
    }
    if (!IrcPacer::parse(parser.value(kPace), &s.pacer, error)) {
        error->prepend(QStringLiteral("--irc-pace: "));
        return nullptr;
    }
    return std::make_unique<IrcRoom>(client, s);
}
