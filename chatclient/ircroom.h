#pragma once
#include "ircbridge.h"

#include <QCommandLineOption>
#include <QObject>

#include <memory>

class ChatClient;
struct Window;
class QCommandLineParser;

// Ties a room to an IRC channel: the room takes the channel's name, what the user posts there
// goes out through the bridge, what the channel says comes in, and the room's status line shows
// the connection and the lines still queued.
class IrcRoom : public QObject {
    Q_OBJECT
public:
    IrcRoom(ChatClient& client, const IrcSettings& settings);

    static QList<QCommandLineOption> options();
    // nullptr without --irc; also nullptr with a reason in error when the options make no sense.
    static std::unique_ptr<IrcRoom> fromOptions(const QCommandLineParser& parser, ChatClient& client,
                                                QString* error);
    // "HOST", "HOST:PORT" or "[ADDRESS]:PORT".
    static bool parseAddress(const QString& text, bool tls, QString* host, quint16* port);

    IrcBridge& bridge() { return bridge_; }
    void start() { bridge_.start(); }

private:
    Window* room();

    ChatClient& client_;
    IrcBridge bridge_;
    QByteArray title_;
    QByteArray people_;
    quint32 handle_ = 0;
};
