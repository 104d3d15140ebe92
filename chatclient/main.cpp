#include "busservice.h"
#include "chatclient.h"
#include "framewindow.h"
#include "ircroom.h"
#include "relayroom.h"
#include "transcript.h"
#include "windowtree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Without a window no display is needed.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--headless") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorl-chatclient"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A stand-in chat client driven over the session bus."));
    parser.addHelpOption();
    const QCommandLineOption classic(QStringLiteral("classic"), QStringLiteral("Rooms in the classic layout."));
    const QCommandLineOption roomBehind(QStringLiteral("room-behind"),
                                        QStringLiteral("Other child windows stand before the room."));
    const QCommandLineOption upload(QStringLiteral("upload"), QStringLiteral("An upload in progress."));
    const QCommandLineOption wait(QStringLiteral("wait"), QStringLiteral("The wait window open at start."));
    const QCommandLineOption noRoom(QStringLiteral("no-room"), QStringLiteral("No chat room open."));
    const QCommandLineOption headless(QStringLiteral("headless"), QStringLiteral("Show no window."));
    const QCommandLineOption transcript(QStringLiteral("transcript"),
                                        QStringLiteral("Append a line per posted message to FILE."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption busName(QStringLiteral("bus-name"),
                                     QStringLiteral("Service name on the session bus."), QStringLiteral("NAME"),
                                     QString::fromLatin1(BusService::DefaultService));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Answer every call MS milliseconds late."),
                                   QStringLiteral("MS"));
    const QCommandLineOption busy(QStringLiteral("busy"),
                                  QStringLiteral("Keep the CPU busy MS milliseconds before posting a message."),
                                  QStringLiteral("MS"));
    const QCommandLineOption sameRoom(QStringLiteral("same-room"),
                                      QStringLiteral("Answer the lookup of the room after a room with that room again."));
    const QCommandLineOption endlessModals(QStringLiteral("endless-modals"),
                                           QStringLiteral("Show a new modal window for every lookup of one."));
    parser.addOptions({classic, roomBehind, upload, wait, noRoom, headless, transcript, busName});
    const QCommandLineOption proportional(QStringLiteral("proportional"),
                                          QStringLiteral("Rooms in the usual font instead of the fixed-width one."));
    parser.addOptions({delay, busy, sameRoom, endlessModals, proportional});
    parser.addOptions(IrcRoom::options());
    parser.addOptions(RelayRoom::options());
    parser.addPositionalArgument(QStringLiteral("FIFO"), QStringLiteral("With --weechat: its fifo pipe, or a folder holding it."), QStringLiteral("[FIFO]"));
    parser.process(app);

    WindowTree tree;
    ChatClient client(tree);
    Transcript log;
    if (parser.isSet(transcript)) {
        if (!log.open(parser.value(transcript))) {
            std::fprintf(stderr, "quorl-chatclient: cannot open %s\n", qPrintable(parser.value(transcript)));
            return 1;
        }
        client.setTranscript(&log);
    }
    Layout layout;
    layout.classic = parser.isSet(classic);
    layout.roomBehind = parser.isSet(roomBehind);
    layout.upload = parser.isSet(upload);
    layout.wait = parser.isSet(wait);
    layout.noRoom = parser.isSet(noRoom);
    client.setFixedWidth(!parser.isSet(proportional));
    client.build(layout);
    QString ircError;
    const std::unique_ptr<IrcRoom> irc = IrcRoom::fromOptions(parser, client, &ircError);
    if (!ircError.isEmpty()) {
        std::fprintf(stderr, "quorl-chatclient: %s\n", qPrintable(ircError));
        return 2;
    }
    QString relayError;
    const std::vector<std::unique_ptr<RelayRoom>> relays = RelayRoom::fromOptions(parser, client, &relayError);
    if (!relayError.isEmpty()) {
        std::fprintf(stderr, "quorl-chatclient: %s\n", qPrintable(relayError));
        return 2;
    }

    BusService service(client);
    service.setFaults(
        {parser.value(delay).toInt(), parser.isSet(sameRoom), parser.isSet(endlessModals), parser.value(busy).toInt()});
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The object first, so the name appears only when calls can be served.
    if (!bus.registerObject(QString::fromLatin1(BusService::ObjectPath), &service, QDBusConnection::ExportAllSlots)
        || !bus.registerService(parser.value(busName))) {
        std::fprintf(stderr, "quorl-chatclient: cannot serve %s on the session bus: %s\n",
                     qPrintable(parser.value(busName)), qPrintable(bus.lastError().message()));
        return 1;
    }

    if (irc)
        irc->start();
    for (const auto& relay : relays)
        relay->start();
    std::unique_ptr<FrameWindow> frame;
    if (!parser.isSet(headless)) {
        frame = std::make_unique<FrameWindow>(client);
        frame->show();
    }
    return app.exec();
}
