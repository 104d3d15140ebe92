#include "artwork.h"

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

} // namespace Artwork
