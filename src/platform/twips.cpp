#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Twips {

int screenWidth()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return fromPixels(s ? s->geometry().width() : 1024);
}

int screenHeight()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return fromPixels(s ? s->geometry().height() : 768);
}

int left(const QWidget* w) { return fromPixels(w->x()); }
int top(const QWidget* w) { return fromPixels(w->y()); }
int width(const QWidget* w) { return fromPixels(w->width()); }
int height(const QWidget* w) { return fromPixels(w->height()); }

void setLeft(QWidget* w, int twips) { w->move(toPixels(twips), w->y()); }
void setTop(QWidget* w, int twips) { w->move(w->x(), toPixels(twips)); }
void setHeight(QWidget* w, int twips) { w->resize(w->width(), toPixels(twips)); }
void move(QWidget* w, int leftTwips, int topTwips) { w->move(toPixels(leftTwips), toPixels(topTwips)); }

} // namespace Twips
