// Any file handed to the workbook reader opens with its cells readable, or is refused with
// a message; never a crash.
#include "import/Workbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.xls"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    auto workbook = kodrix::openXlsWorkbook(path);
    if (!workbook)
        return 0;
    const int rows = std::min((*workbook)->rowCount(), 200);
    const int columns = std::min((*workbook)->columnCount(), 50);
    for (int row = 1; row <= rows; ++row)
        for (int column = 1; column <= columns; ++column)
            (*workbook)->cell(row, column);
    return 0;
}
