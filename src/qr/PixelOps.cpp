#include "qr/PixelOps.h"

namespace kodrix {

namespace {

constexpr QRgb kOpaque = 0xFF000000u;

// Calls row(y, line) for every scan line of `picture`.
template <typename RowFn> void forEachLine(QImage &picture, RowFn row) {
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y)
        row(reinterpret_cast<QRgb *>(picture.scanLine(y)), width);
}

// The pixels where `source`, with its top-left corner at `at`, overlaps `destination`,
// in the destination's coordinates.
QRect overlap(const QImage &destination, const QImage &source, QPoint at) {
    return destination.rect().intersected(QRect(at, source.size()));
}

// For every pixel of `code` that `wanted` accepts and that lies on `source` (placed with
// its own top-left corner at -at relative to the code), takes the source's colour.
template <typename Wanted> void takeFrom(QImage &code, const QImage &source, QPoint at, Wanted wanted) {
    // The code's pixel (x, y) reads the source at at + (x, y): the source lies at -at.
    const QRect area = overlap(code, source, -at);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(code.scanLine(y));
        const QRgb *from = reinterpret_cast<const QRgb *>(source.constScanLine(y + at.y()));
        for (int x = area.left(); x <= area.right(); ++x)
            if (wanted(line[x]))
                line[x] = from[x + at.x()] | kOpaque;
    }
}

} // namespace

QImage asRgb32(QImage picture) {
    if (picture.format() != QImage::Format_RGB32)
        picture.convertTo(QImage::Format_RGB32);
    return picture;
}

void paintDark(QImage &picture, QRgb colour) {
    colour |= kOpaque;
    forEachLine(picture, [colour](QRgb *line, int width) {
        for (int x = 0; x < width; ++x)
            if (!isWhite(line[x]))
                line[x] = colour;
    });
}

void paintWhite(QImage &picture, QRgb colour) {
    colour |= kOpaque;
    forEachLine(picture, [colour](QRgb *line, int width) {
        for (int x = 0; x < width; ++x)
            if (isWhite(line[x]))
                line[x] = colour;
    });
}

void paintWhite(QImage &picture, QRgb colour, const QRect &area) {
    colour |= kOpaque;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (isWhite(line[x]))
                line[x] = colour;
    }
}

void paintBoth(QImage &picture, QRgb dark, QRgb white) {
    dark |= kOpaque;
    white |= kOpaque;
    forEachLine(picture, [dark, white](QRgb *line, int width) {
        for (int x = 0; x < width; ++x)
            line[x] = isWhite(line[x]) ? white : dark;
    });
}

void takeDarkFrom(QImage &code, const QImage &source, QPoint at) {
    takeFrom(code, source, at, [](QRgb pixel) { return !isWhite(pixel); });
}

void takeWhiteFrom(QImage &code, const QImage &source, QPoint at) {
    takeFrom(code, source, at, [](QRgb pixel) { return isWhite(pixel); });
}

void overlayNonWhite(QImage &destination, const QImage &source, int x, int y) {
    const QPoint at(x, y);
    const QRect area = overlap(destination, source, at);
    for (int row = area.top(); row <= area.bottom(); ++row) {
        QRgb *line = reinterpret_cast<QRgb *>(destination.scanLine(row));
        const QRgb *from = reinterpret_cast<const QRgb *>(source.constScanLine(row - y));
        for (int column = area.left(); column <= area.right(); ++column)
            if (const QRgb pixel = from[column - x]; !isWhite(pixel))
                line[column] = pixel | kOpaque;
    }
}

void drawOpaque(QImage &destination, const QImage &source, QPoint at) {
    const QRect area = overlap(destination, source, at);
    for (int row = area.top(); row <= area.bottom(); ++row) {
        QRgb *line = reinterpret_cast<QRgb *>(destination.scanLine(row));
        const QRgb *from = reinterpret_cast<const QRgb *>(source.constScanLine(row - at.y()));
        for (int column = area.left(); column <= area.right(); ++column)
            line[column] = from[column - at.x()] | kOpaque;
    }
}

} // namespace kodrix
