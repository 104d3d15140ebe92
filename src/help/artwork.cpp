#include "artwork.h"

#include "platform/progfolder.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>

namespace Artwork {

void PaintSplash(QPainter& p, const QRect& r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(47, 56, 66));
    g.setColorAt(1, QColor(20, 25, 30));
    p.fillRect(r, g);
    p.setPen(QColor(63, 184, 173));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.drawLine(r.left() + 16, r.top() + 118, r.right() - 16, r.top() + 118);
    // A row of shade blocks, light to solid, the shop's mark.
    const QColor shades[] = {QColor(63, 184, 173, 60), QColor(63, 184, 173, 120), QColor(63, 184, 173, 190),
                             QColor(63, 184, 173)};
    for (int i = 0; i < 4; ++i)
        p.fillRect(r.right() - 78 + i * 16, r.top() + 20, 12, 12, shades[i]);
    QFont title("DejaVu Sans", 20, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(223, 232, 236));
    p.drawText(QRect(r.left() + 18, r.top() + 40, r.width() - 36, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("quorl ascii shop"));
    QFont sub("DejaVu Sans Mono", 10);
    p.setFont(sub);
    p.setPen(QColor(127, 214, 204));
    p.drawText(QRect(r.left() + 18, r.top() + 84, r.width() - 36, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("\u00b7\u00b4\u00af`\u00b7.\u00b8 text art workshop \u00b8.\u00b7\u00b4\u00af`\u00b7"));
}

void PaintWelcome(QPainter& p, const QRect& r)
{
    p.fillRect(r, QColor(20, 25, 30));
    p.setPen(QColor(63, 184, 173));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // Four art pages, the last one still being typed, with the caret at its end.
    const int lineHeight = r.height() / 6;
    const int lengths[] = {70, 45, 85, 30};
    for (int i = 0; i < 4; ++i) {
        const int y = r.top() + lineHeight * (i + 1);
        const int w = (r.width() - 24) * lengths[i] / 100;
        p.fillRect(r.left() + 12, y, w, lineHeight / 2, i % 2 ? QColor(127, 214, 204) : QColor(63, 184, 173));
        if (i == 3)
            p.fillRect(r.left() + 14 + w, y - 2, 2, lineHeight / 2 + 4, QColor(232, 140, 118));
    }
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = ProgramFolder::file(QStringLiteral("icons/quorl-%1.png").arg(size));
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    if (!icon.isNull())
        return icon;
    // The shop's mark on a slate tile, as the shipped pictures show it.
    QPixmap pixmap(64, 64);
    pixmap.fill(QColor(31, 37, 44));
    QPainter p(&pixmap);
    for (int i = 0; i < 4; ++i)
        p.fillRect(8 + i * 12, 26, 9, 12, QColor(63, 184, 173, 70 + 62 * i));
    p.end();
    return QIcon(pixmap);
}

} // namespace Artwork
