#include "relayqueue.h"

#include <QStringDecoder>

QStringList RelayQueue::add(const QByteArray& bytes, IrcColors::Palette palette, int budget, const QString& target,
                            int held)
{
    QStringDecoder decoder("windows-1252");
    const QString html = decoder.decode(bytes);
    QStringList notices;
    for (const QByteArray& line : IrcColors::fromHtml(html, palette, budget)) {
        if (size() + held >= kept_) {
            if (refused_++ == 0)
                notices << QStringLiteral("%1 lines wait for %2 already, the most kept; lines posted now are "
                                          "dropped until some have gone.")
                               .arg(kept_)
                               .arg(target);
            continue;
        }
        if (refused_ > 0) {
            notices << (refused_ == 1 ? QStringLiteral("1 line posted while the queue was full was not sent.")
                                      : QStringLiteral("%1 lines posted while the queue was full were not sent.")
                                            .arg(refused_));
            refused_ = 0;
        }
        lines_.push_back(line);
    }
    return notices;
}
