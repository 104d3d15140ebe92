#pragma once
#include "relay.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <functional>

// The relay into a running HexChat through its D-Bus remote interface (the one "hexchat -e -c"
// uses): the relay finds the channel's tab and says each line there. No call starts HexChat (the
// bus could start one of its own): a HexChat that is not running is told as such.
class HexChatRelay : public Relay {
    Q_OBJECT
public:
    // channel empty: HexChat's current tab.
    HexChatRelay(QDBusConnection bus, const QString& channel, const IrcPacer& pacer, MsClock clock = {},
                 QObject* parent = nullptr);

    static constexpr const char* Service = "org.hexchat.service";

protected:
    QString program() const override { return QStringLiteral("HexChat"); }
    QString target() const override;
    QString lacking() const override;
    void look() override;
    void hand(const QByteArray& line) override;
    int budget() const override;

private:
    using Answer = std::function<void(const QDBusMessage& reply)>;
    void call(const QString& path, const QString& interface, const QString& method, const QVariantList& args,
              Answer answer);
    void findTab();
    // A look's call that failed: HexChat silent, gone, or refusing.
    void failed(const QDBusMessage& reply);
    // Ready only when the tab is a channel HexChat has joined: lines said elsewhere are lost.
    void checkJoined(uint list, const QString& channel, const QString& network);

    QDBusConnection bus_;
    QString channel_;
    QString owner_;      // the HexChat found, by its unique bus name: calls never reach another
    uint context_ = 0;   // the tab the art goes to
};
