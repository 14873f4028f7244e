#pragma once

#include <QString>

namespace kodrix::cli {

// `text` as a JSON string literal, quotes included.
QString jsonQuote(const QString &text);

} // namespace kodrix::cli
