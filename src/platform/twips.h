#pragma once
#include <QPoint>

class QWidget;

// Window sizes and positions are kept in twips; 15 twips make one pixel.
namespace Twips {

constexpr int kPerPixel = 15;

inline int toPixels(double twips) { return int(twips / kPerPixel + (twips >= 0 ? 0.5 : -0.5)); }
inline int fromPixels(int pixels) { return pixels * kPerPixel; }

// Screen size of the primary screen, in twips.
int screenWidth();
int screenHeight();

// A top-level window's edges and size in twips.
int left(const QWidget* w);
int top(const QWidget* w);
int width(const QWidget* w);
int height(const QWidget* w);
void setLeft(QWidget* w, int twips);
void setTop(QWidget* w, int twips);
void setHeight(QWidget* w, int twips);
void move(QWidget* w, int leftTwips, int topTwips);

} // namespace Twips
