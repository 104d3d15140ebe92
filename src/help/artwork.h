#pragma once
#include <QRect>

class QPainter;

// The shop's own pictures, drawn rather than shipped.
namespace Artwork {
void PaintSplash(QPainter& p, const QRect& r);
}
