#pragma once

#include <QHash>
#include <QString>

#include <utility>

namespace kodrix {

// Most distinct texts the shared string table of a workbook may hold for FreeXL to read it.
inline constexpr unsigned kMaxSharedStrings = 1u << 20;

enum class SharedStringCheck {
    Fine,    // FreeXL reads every text of the workbook whole
    TooLong, // a text runs on through more than one record boundary of the table
    TooMany, // the table holds more than kMaxSharedStrings texts
    Unknown, // the file could not be walked far enough to tell
};

// What an own walk over an .xls file finds beside FreeXL, which reads the cells.
struct XlsStreamScan {
    // The shared string table is cut into records of at most 8224 bytes. FreeXL 1.0 gives a
    // text that runs on through more than one record boundary (about 8000 characters or
    // more) back cut short and puts the texts after it out of step, and refuses a table of
    // more than kMaxSharedStrings texts as damaged. A text that long is far more than a QR
    // code holds, so the import refuses such a workbook with its own message.
    SharedStringCheck strings = SharedStringCheck::Unknown;

    // FreeXL skips formula cells. Their results as last calculated are kept in the file:
    // these are the ones of the first sheet, as text, by (row, column) counted from 0.
    QHash<std::pair<int, int>, QString> formulaResults;
};

// Walks the compound file, the workbook stream, its shared string table and its first
// sheet. Parts it cannot walk are left at their defaults.
XlsStreamScan scanXlsStream(const QString &file);

} // namespace kodrix
