#pragma once
#include <QIcon>
#include <QRect>

class QPainter;

// The shop's own pictures, drawn rather than shipped.
namespace Artwork {
void PaintSplash(QPainter& p, const QRect& r);
// The welcome window's picture: a page of art being drawn, line by line.
void PaintWelcome(QPainter& p, const QRect& r);
// The program's icon, from the program folder's icons (drawn here when they are missing).
QIcon ProgramIcon();
}
