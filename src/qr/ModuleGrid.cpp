#include "qr/ModuleGrid.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace kodrix {
namespace {

constexpr int kSmallestSide = 21;
constexpr int kLargestSide = 177;
constexpr int kSideStep = 4;
constexpr int kQuietModules = 4;
constexpr int kFinderModules = 7;
// A row or column with fewer dark pixels than this is taken as noise, not as the symbol.
constexpr int kLeastDarkInLine = 2;

bool isDark(const uchar *line, int x, int threshold) { return line[x] <= threshold; }

} // namespace

int darkThreshold(const QImage &grey) {
    std::array<long long, 256> histogram{};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[line[x]];
    }
    long long total = 0;
    double sum = 0;
    for (int level = 0; level < 256; ++level) {
        total += histogram[level];
        sum += static_cast<double>(level) * static_cast<double>(histogram[level]);
    }
    long long below = 0;
    double sumBelow = 0, bestSpread = -1;
    int best = 127;
    for (int level = 0; level < 255; ++level) {
        below += histogram[level];
        sumBelow += static_cast<double>(level) * static_cast<double>(histogram[level]);
        const long long above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double meanBelow = sumBelow / static_cast<double>(below);
        const double meanAbove = (sum - sumBelow) / static_cast<double>(above);
        const double spread = static_cast<double>(below) * static_cast<double>(above) * (meanAbove - meanBelow) *
                              (meanAbove - meanBelow);
        if (spread > bestSpread) {
            bestSpread = spread;
            best = level;
        }
    }
    return best;
}

std::optional<QRect> darkBoundingBox(const QImage &grey, int threshold) {
    std::vector<int> darkInColumn(static_cast<std::size_t>(grey.width()), 0);
    int top = -1, bottom = -1;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        int darkInRow = 0;
        for (int x = 0; x < grey.width(); ++x)
            if (isDark(line, x, threshold)) {
                ++darkInRow;
                ++darkInColumn[static_cast<std::size_t>(x)];
            }
        if (darkInRow >= kLeastDarkInLine) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    const auto dense = [](int count) { return count >= kLeastDarkInLine; };
    const auto first = std::find_if(darkInColumn.begin(), darkInColumn.end(), dense);
    if (top < 0 || first == darkInColumn.end())
        return std::nullopt;
    const auto last = std::find_if(darkInColumn.rbegin(), darkInColumn.rend(), dense);
    const int left = static_cast<int>(first - darkInColumn.begin());
    const int right = static_cast<int>(darkInColumn.rend() - last) - 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::vector<int> candidateSides(const QImage &grey, const QRect &box, int threshold) {
    const uchar *topRow = grey.constScanLine(box.top());
    int run = 0;
    while (box.left() + run <= box.right() && isDark(topRow, box.left() + run, threshold))
        ++run;
    const int estimate = run > 0 ? kFinderModules * box.width() / run : kSmallestSide;

    std::vector<int> sides;
    const int fits = std::min(box.width(), box.height());
    for (int side = kSmallestSide; side <= kLargestSide && side <= fits; side += kSideStep)
        sides.push_back(side);
    std::stable_sort(sides.begin(), sides.end(),
                     [estimate](int a, int b) { return std::abs(a - estimate) < std::abs(b - estimate); });
    return sides;
}

QImage redrawOnGrid(const QImage &grey, const QRect &box, int threshold, int modules, int pixelsPerModule) {
    const int side = (modules + 2 * kQuietModules) * pixelsPerModule;
    QImage clean(side, side, QImage::Format_Grayscale8);
    clean.fill(255);
    const double moduleWidth = static_cast<double>(box.width()) / modules;
    const double moduleHeight = static_cast<double>(box.height()) / modules;
    for (int row = 0; row < modules; ++row) {
        const int y = box.top() + static_cast<int>((row + 0.5) * moduleHeight);
        const uchar *line = grey.constScanLine(y);
        for (int column = 0; column < modules; ++column) {
            const int x = box.left() + static_cast<int>((column + 0.5) * moduleWidth);
            if (!isDark(line, x, threshold))
                continue;
            const int drawX = (kQuietModules + column) * pixelsPerModule;
            const int drawY = (kQuietModules + row) * pixelsPerModule;
            for (int dy = 0; dy < pixelsPerModule; ++dy)
                std::fill_n(clean.scanLine(drawY + dy) + drawX, pixelsPerModule, uchar(0));
        }
    }
    return clean;
}

} // namespace kodrix
