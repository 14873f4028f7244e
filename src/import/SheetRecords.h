#pragma once

#include "common/Result.h"
#include "import/Workbook.h"
#include "qr/ContentType.h"
#include "store/Record.h"

#include <functional>

namespace kodrix {

// Reads the records of a workbook laid out after the template of its content type: the type
// name in cell (1, 1), headers in row 2, one record per row from row 3 up to the first row
// that fails the type's row test. Each record is handed to `add` as soon as it is read, with
// its `id` from `makeId`. Returns the content type. Fails with "错误的文件！" when cell (1, 1)
// is not one of the nine type names, and with its own message when a "多项文本" sheet has too
// few headers for its ten pass-through columns; nothing is handed on then.
Result<ContentType> readSheetRecords(const Workbook &workbook, const std::function<QString()> &makeId,
                                     const std::function<void(const Record &)> &add);

} // namespace kodrix
