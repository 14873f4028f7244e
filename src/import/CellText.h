#pragma once

#include <QString>

namespace kodrix {

// A number cell as a spreadsheet shows it in the General format: whole numbers without a
// decimal point or exponent (13800138000, not 1.38e+10 or 13800138000.0), other numbers in
// the shortest form that reads back as the same value (0.1, 12.5, 1E+20).
QString numberCellText(double value);

} // namespace kodrix
