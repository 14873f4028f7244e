#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

namespace kodrix {

// The one pixel rule of the composition: white is exactly 255,255,255; every other colour,
// near-white included, is dark, that is, part of the code.
inline bool isWhite(QRgb pixel) { return (pixel & 0x00FFFFFFu) == 0x00FFFFFFu; }

// The composition works on opaque 32-bit pictures; this gives `picture` in that format.
QImage asRgb32(QImage picture);

// Every dark pixel of `picture` becomes `colour`.
void paintDark(QImage &picture, QRgb colour);
// Every white pixel of `picture`, or of its `area`, becomes `colour`.
void paintWhite(QImage &picture, QRgb colour);
void paintWhite(QImage &picture, QRgb colour, const QRect &area);
// Both at once: dark pixels become `dark`, white ones `white`.
void paintBoth(QImage &picture, QRgb dark, QRgb white);

// Every dark (takeDarkFrom) or white (takeWhiteFrom) pixel (x, y) of `code` takes the colour
// of `source` at `at` + (x, y). Pixels that fall outside `source` keep their colour.
void takeDarkFrom(QImage &code, const QImage &source, QPoint at);
void takeWhiteFrom(QImage &code, const QImage &source, QPoint at);

// Copies the dark pixels of `source` onto `destination` with the source's top-left corner
// at (x, y); white source pixels leave the destination as it is. The part of the source
// beyond the destination's right or bottom edge is cut off.
void overlayNonWhite(QImage &destination, const QImage &source, int x, int y);

// Draws all of `source` onto `destination` at `at`, cut to the destination.
void drawOpaque(QImage &destination, const QImage &source, QPoint at);

} // namespace kodrix
