#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kodrix {

// The text of an import file: everything before the first NUL byte, as UTF-8 when those
// bytes are valid UTF-8 (a BOM is dropped), else as GBK.
QString decodeImportText(QByteArray bytes);

// The lines of a text. A line ends with CR LF, LF or CR; a break at the very end makes no
// extra line, an empty line elsewhere is a line, and the empty text has no lines.
QStringList splitTextLines(const QString &text);

} // namespace kodrix
