#include "import/SheetRecords.h"

#include "common/TextDecoding.h"
#include "import/ImportMessages.h"

#include <QStringList>

#include <array>
#include <span>

namespace kodrix {

namespace {

using C = Column;

// One content cell of a data row: the sheet column and the record field it fills.
struct ContentCell {
    int column;
    Column field;
};

// When a row holds a record: every one (AllOf) or at least one (AnyOf) of columns 1..n has a value.
enum class RowTest { AllOf, AnyOf };

struct TypeLayout {
    ContentType type;
    std::span<const ContentCell> cells;
    int firstPassThrough; // sheet column of chuanzhi1; the next nine columns follow
    RowTest test;
    int testedColumns;
};

constexpr ContentCell kSingleText[] = {{2, C::wenben}};
constexpr ContentCell kMecard[] = {{2, C::xingming}, {3, C::gongsi}, {4, C::zhiwei}, {5, C::dianhua},
                                   {6, C::qq},       {7, C::email},  {8, C::dizhi},  {9, C::gerenzhuye}};
constexpr ContentCell kVcard[] = {{2, C::xingming}, {2, C::cardname}, {3, C::nickname},   {4, C::gongsi},
                                  {5, C::zhiwei},   {6, C::worktel},  {7, C::hometel},    {8, C::cell},
                                  {9, C::workfax},  {10, C::homefax}, {11, C::workaddr},  {12, C::homeaddr},
                                  {13, C::qq},      {14, C::email},   {15, C::gerenzhuye}};
constexpr ContentCell kPhone[] = {{2, C::dianhua}};
constexpr ContentCell kUrl[] = {{2, C::wangzhi}};
constexpr ContentCell kEmail[] = {{2, C::email}};
constexpr ContentCell kSms[] = {{2, C::shoujihaoma}, {3, C::xinxi}};
constexpr ContentCell kWifi[] = {{2, C::zhanghao}, {3, C::mima}, {4, C::jiamileixing}};

// "多项文本" has no fixed cells: its items and pass-through columns follow from row 2.
constexpr TypeLayout kLayouts[] = {
    {ContentType::SingleText, kSingleText, 3, RowTest::AllOf, 1},
    {ContentType::MultiText, {}, 0, RowTest::AllOf, 1},
    {ContentType::Mecard, kMecard, 10, RowTest::AnyOf, 8},
    {ContentType::Vcard, kVcard, 16, RowTest::AnyOf, 14},
    {ContentType::Phone, kPhone, 3, RowTest::AllOf, 1},
    {ContentType::Url, kUrl, 3, RowTest::AllOf, 1},
    {ContentType::Email, kEmail, 3, RowTest::AllOf, 1},
    {ContentType::Sms, kSms, 4, RowTest::AllOf, 2},
    {ContentType::Wifi, kWifi, 5, RowTest::AllOf, 3},
};

static_assert(
    [] {
        for (size_t i = 0; i < std::size(kLayouts); ++i)
            if (kLayouts[i].type != static_cast<ContentType>(i))
                return false;
        return std::size(kLayouts) == 9;
    }(),
    "one layout per content type, in the order of ContentType");

constexpr std::array kContentColumns = {
    C::wenben,   C::xingming, C::gongsi,       C::zhiwei,   C::dianhua,     C::qq,
    C::email,    C::dizhi,    C::gerenzhuye,   C::wangzhi,  C::shoujihaoma, C::xinxi,
    C::zhanghao, C::mima,     C::jiamileixing, C::cardname, C::nickname,    C::worktel,
    C::hometel,  C::cell,     C::workfax,      C::homefax,  C::workaddr,    C::homeaddr,
};

// Stored values are never null: a cell without a value is stored as the empty text.
const QString kEmptyText = QStringLiteral("");

QString storedText(const QString &text) {
    QString trimmed = trimBlanksAndControls(text);
    return trimmed.isNull() ? kEmptyText : trimmed;
}

bool rowHoldsRecord(const Workbook &sheet, int row, const TypeLayout &layout) {
    for (int column = 1; column <= layout.testedColumns; ++column) {
        const bool filled = !sheet.cell(row, column).isEmpty();
        if (layout.test == RowTest::AnyOf && filled)
            return true;
        if (layout.test == RowTest::AllOf && !filled)
            return false;
    }
    return layout.test == RowTest::AllOf;
}

// Item columns 2..lastItem of a "多项文本" sheet, as "header：value" lines joined by CR LF.
QString multiItemText(const Workbook &sheet, int row, const QStringList &headers, int lastItem) {
    QString text;
    for (int column = 2; column <= lastItem; ++column) {
        text += headers[column - 2];
        text += u'：';
        text += sheet.cell(row, column);
        text += u"\r\n";
    }
    return text;
}

} // namespace

Result<ContentType> readSheetRecords(const Workbook &sheet, const std::function<QString()> &makeId,
                                     const std::function<void(const Record &)> &add) {
    using R = Result<ContentType>;
    const auto type = contentTypeFromName(sheet.cell(1, 1));
    if (!type)
        return R::failure(kWrongFileMessage);
    TypeLayout layout = kLayouts[static_cast<size_t>(*type)];

    // "多项文本": the ten headers before the first empty one (from column 2 on) name the
    // pass-through columns; the headers before them name the items.
    QStringList headers;
    int lastItem = 0;
    if (*type == ContentType::MultiText) {
        for (int column = 2; column <= sheet.columnCount(); ++column) {
            QString header = sheet.cell(2, column);
            if (header.isEmpty())
                break;
            headers << header;
        }
        const int firstEmpty = 2 + static_cast<int>(headers.size());
        lastItem = firstEmpty - 11;
        layout.firstPassThrough = lastItem + 1;
        if (layout.firstPassThrough < 1)
            return R::failure(multiTextTooFewHeadersMessage(static_cast<int>(headers.size())));
    }

    for (int row = 3; row <= sheet.rowCount() && rowHoldsRecord(sheet, row, layout); ++row) {
        Record record;
        record[C::id] = makeId();
        record[C::mainid] = QStringLiteral("0");
        record[C::filename] = storedText(sheet.cell(row, 1));
        for (Column column : kContentColumns)
            record[column] = kEmptyText;
        if (*type == ContentType::MultiText) {
            record[C::wenben] = storedText(multiItemText(sheet, row, headers, lastItem));
        } else {
            for (const ContentCell &cell : layout.cells)
                record[cell.field] = storedText(sheet.cell(row, cell.column));
        }
        for (int n = 1; n <= 10; ++n)
            record[passThroughColumn(n)] = storedText(sheet.cell(row, layout.firstPassThrough + n - 1));
        add(record);
    }
    return *type;
}

} // namespace kodrix
