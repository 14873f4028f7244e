#pragma once

#include "common/Result.h"

#include <QString>

#include <memory>

namespace kodrix {

// A spreadsheet workbook opened for reading: the cells of its first sheet as text, the way
// a spreadsheet program shows them. Rows and columns count from 1.
class Workbook {
public:
    virtual ~Workbook() = default;

    // The text of one cell. A cell without a value, and any cell outside the sheet, gives
    // the empty text.
    virtual QString cell(int row, int column) const = 0;
    // The extent of the sheet: no cell beyond these holds a value.
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
};

// Opens an Excel 97-2003 or Excel 5.0/95 workbook (".xls", BIFF8 or BIFF5) with its first
// sheet selected. Fails with a message for the user when the file is missing, is not such a
// workbook, is protected by a password, or is damaged.
Result<std::unique_ptr<Workbook>> openXlsWorkbook(const QString &file);

} // namespace kodrix
