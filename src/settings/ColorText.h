#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace kodrix {

// Nine decimal digits: red, green, blue, three zero-padded digits each ("255128000").
QString colorToRgbText(const QColor &color);

// Reads the first nine characters as three groups of three; each group keeps only its low
// eight bits (300 becomes 44). A group that is not a number gives nothing.
std::optional<QColor> rgbTextToColor(const QString &text);

} // namespace kodrix
