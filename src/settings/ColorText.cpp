#include "settings/ColorText.h"

namespace kodrix {

QString colorToRgbText(const QColor &color) {
    return QStringLiteral("%1%2%3")
        .arg(color.red(), 3, 10, QLatin1Char('0'))
        .arg(color.green(), 3, 10, QLatin1Char('0'))
        .arg(color.blue(), 3, 10, QLatin1Char('0'));
}

std::optional<QColor> rgbTextToColor(const QString &text) {
    int components[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const QString group = text.mid(i * 3, 3);
        const int value = group.size() == 3 ? group.toInt(&ok, 10) : 0;
        if (!ok)
            return std::nullopt;
        components[i] = value & 0xFF;
    }
    return QColor(components[0], components[1], components[2]);
}

} // namespace kodrix
