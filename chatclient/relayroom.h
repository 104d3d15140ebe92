#pragma once
#include "relay.h"

#include <QCommandLineOption>
#include <QObject>

#include <memory>

class ChatClient;
struct Window;
class QCommandLineParser;

// Ties the room to a relay: what is posted in any room goes to the relay, and the room that
// posted last shows the relay's notices and its status line.
class RelayRoom : public QObject {
    Q_OBJECT
public:
    RelayRoom(ChatClient& client, std::unique_ptr<Relay> relay);
    ~RelayRoom() override;

    static QList<QCommandLineOption> options();
    // The relays the options ask for (none without --weechat or --hexchat); a reason in error
    // when the options make no sense.
    static std::vector<std::unique_ptr<RelayRoom>> fromOptions(const QCommandLineParser& parser, ChatClient& client,
                                                               QString* error);

    void start() { relay_->start(); }

private:
    Window* room();

    ChatClient& client_;
    std::unique_ptr<Relay> relay_;
    QByteArray title_;
};
