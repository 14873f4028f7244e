#pragma once

#include <QImage>
#include <QRect>

#include <optional>
#include <vector>

namespace kodrix {

// Redrawing a QR symbol on its own module grid. When a symbol has been rescaled so that its
// modules are a few pixels wide and unevenly so, ZXing's grid sampling can miss it; sampling
// each module's centre inside the symbol's dark bounding box and drawing the result cleanly
// gives a picture it reads at once.

// The grey level that best separates the dark pixels of `grey` (Format_Grayscale8) from the
// light ones (Otsu's method); a pixel at or below it is dark.
int darkThreshold(const QImage &grey);

// The smallest rectangle holding every row and column of `grey` that has at least two dark
// pixels, so that a stray speck does not widen it; none when nothing is dark.
std::optional<QRect> darkBoundingBox(const QImage &grey, int threshold);

// Every symbol side a QR code can have (21, 25, … 177 modules) that fits in `box` with at
// least one pixel per module, the most likely first: the run of dark pixels the top-left
// finder pattern starts the box's top row with is seven modules wide.
std::vector<int> candidateSides(const QImage &grey, const QRect &box, int threshold);

// The symbol in `box` of `grey` sampled at the centre of each of modules × modules cells and
// drawn black on white, `pixelsPerModule` pixels a module, inside a four-module quiet zone.
QImage redrawOnGrid(const QImage &grey, const QRect &box, int threshold, int modules, int pixelsPerModule);

} // namespace kodrix
