// The .xls reader: FreeXL behind the Workbook interface.
#include "import/CellText.h"
#include "import/Workbook.h"
#include "import/XlsStreamScan.h"

#include <QFile>
#include <QFileInfo>

#include <freexl.h>

namespace kodrix {

namespace {

struct HandleCloser {
    void operator()(const void *handle) const {
        if (handle)
            freexl_close(handle);
    }
};
using Handle = std::unique_ptr<const void, HandleCloser>;

QString notWorkbookFailure(const QString &file) {
    return file + QStringLiteral("不是Excel 97-2003工作簿（.xls），无法导入。"
                                 "请在Excel中把它另存为“Excel 97-2003 工作簿”后再导入。");
}

QString newerWorkbookFailure(const QString &file) {
    return file + QStringLiteral("是Excel 2007及以后版本的工作簿（.xlsx），无法导入。"
                                 "请在Excel中把它另存为“Excel 97-2003 工作簿”后再导入。");
}

// What the user is told for each way a file can fail to open.
QString openFailure(const QString &file, int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("无法打开文件：") + file;
    case FREEXL_INSUFFICIENT_MEMORY:
        return file + QStringLiteral("太大，内存不足，无法读取。");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return notWorkbookFailure(file);
    case FREEXL_UNSUPPORTED_CHARSET:
        return file + QStringLiteral("使用了无法识别的字符集，无法读取。");
    default:
        return file + QStringLiteral("已损坏或不完整，无法读取（错误代码 %1）。").arg(code);
    }
}

QString longTextFailure(const QString &file) {
    return file + QStringLiteral(
                      "中有单元格的文字太长（约8000个字符以上），无法可靠读取，二维码也容纳不下这么多内容。"
                      "请缩短这样的单元格（也包括其他工作表中的）后再导入。");
}

QString tooManyTextsFailure(const QString &file) {
    return file + QStringLiteral("中不同的文字超过%1个，超出了读取能力，无法导入。"
                                 "请删去不需要的内容（例如不用的传值列或其他工作表）后再导入。")
                      .arg(kMaxSharedStrings);
}

QString encryptedFailure(const QString &file) {
    return file + QStringLiteral("设置了打开密码，无法读取。请在Excel中取消密码并保存后再导入。");
}

class FreexlWorkbook final : public Workbook {
public:
    FreexlWorkbook(Handle handle, int rows, int columns, QHash<std::pair<int, int>, QString> formulaResults)
        : handle_(std::move(handle)), rows_(rows), columns_(columns),
          formulaResults_(std::move(formulaResults)) {}

    QString cell(int row, int column) const override {
        if (row < 1 || column < 1 || row > rows_ || column > columns_)
            return {};
        FreeXL_CellValue value;
        if (freexl_get_cell_value(handle_.get(), static_cast<unsigned>(row - 1),
                                  static_cast<unsigned short>(column - 1), &value) == FREEXL_OK) {
            switch (value.type) {
            case FREEXL_CELL_INT:
                return QString::number(value.value.int_value);
            case FREEXL_CELL_DOUBLE:
                return numberCellText(value.value.double_value);
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:     // "YYYY-MM-DD"
            case FREEXL_CELL_DATETIME: // "YYYY-MM-DD HH:MM:SS"
            case FREEXL_CELL_TIME:     // "HH:MM:SS"
                return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
            default:
                break;
            }
        }
        // FreeXL leaves formula cells empty; their last results come from the scan.
        return formulaResults_.value({row - 1, column - 1});
    }

    int rowCount() const override { return rows_; }
    int columnCount() const override { return columns_; }

private:
    Handle handle_;
    int rows_;
    int columns_;
    QHash<std::pair<int, int>, QString> formulaResults_;
};

} // namespace

Result<std::unique_ptr<Workbook>> openXlsWorkbook(const QString &file) {
    using R = Result<std::unique_ptr<Workbook>>;
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return R::failure(openFailure(file, FREEXL_FILE_NOT_FOUND));

    // An .xls workbook is an OLE compound file; anything else is told apart before FreeXL
    // looks at it, so that the message can say what the file is.
    {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return R::failure(openFailure(file, FREEXL_FILE_NOT_FOUND));
        const QByteArray head = in.read(8);
        if (head.startsWith("PK\x03\x04"))
            return R::failure(newerWorkbookFailure(file));
        if (head != QByteArray::fromRawData("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
            return R::failure(notWorkbookFailure(file));
    }

    XlsStreamScan scan = scanXlsStream(file);
    switch (scan.strings) {
    case SharedStringCheck::TooLong:
        return R::failure(longTextFailure(file));
    case SharedStringCheck::TooMany:
        return R::failure(tooManyTextsFailure(file));
    case SharedStringCheck::Fine:
    case SharedStringCheck::Unknown: // FreeXL has its own checks
        break;
    }

    const QByteArray path = QFile::encodeName(file);
    const void *raw = nullptr;
    const int opened = freexl_open(path.constData(), &raw);
    Handle handle(raw);
    // Some damaged files make FreeXL give up without an error code and without a handle.
    if (opened != FREEXL_OK || !handle)
        return R::failure(openFailure(file, opened == FREEXL_OK ? FREEXL_CRAFTED_FILE : opened));

    unsigned int password = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return R::failure(encryptedFailure(file));

    unsigned int sheets = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return R::failure(file + QStringLiteral("中没有工作表，无法导入。"));
    if (const int selected = freexl_select_active_worksheet(handle.get(), 0); selected != FREEXL_OK)
        return R::failure(openFailure(file, selected));

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (const int measured = freexl_worksheet_dimensions(handle.get(), &rows, &columns);
        measured != FREEXL_OK)
        return R::failure(openFailure(file, measured));
    // A sheet never holds more rows than an int counts; a damaged count is cut there.
    int rowCount = rows > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(rows);
    // A formula's result counts as a cell of the sheet even where FreeXL's extent ends.
    int columnCount = static_cast<int>(columns);
    for (auto it = scan.formulaResults.cbegin(); it != scan.formulaResults.cend(); ++it) {
        rowCount = std::max(rowCount, it.key().first + 1);
        columnCount = std::max(columnCount, it.key().second + 1);
    }
    return R(std::make_unique<FreexlWorkbook>(std::move(handle), rowCount, columnCount,
                                              std::move(scan.formulaResults)));
}

} // namespace kodrix
