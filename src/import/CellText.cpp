#include "import/CellText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kodrix {

QString numberCellText(double value) {
    // Every whole number below 2^53 is exact in a double, so it prints as plain digits.
    constexpr double kExactIntegerLimit = 9007199254740992.0;
    char buffer[64];
    std::to_chars_result written{};
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kExactIntegerLimit) {
        const auto whole = static_cast<std::int64_t>(value); // -0.0 becomes 0
        written = std::to_chars(buffer, buffer + sizeof buffer, whole);
    } else {
        written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general);
    }
    QString text = QString::fromLatin1(buffer, static_cast<qsizetype>(written.ptr - buffer));
    // Spreadsheets write the exponent with a capital E.
    return text.replace(QLatin1Char('e'), QLatin1Char('E'));
}

} // namespace kodrix
