// The .xls reader: cell texts as a spreadsheet shows them, and files it cannot read.
#include "ImportFixture.h"

#include "import/CellText.h"
#include "import/Workbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kodrix::test {

namespace {

TEST(NumberCellText, WritesNumbersTheWayTheGeneralFormatShowsThem) {
    struct Case {
        double value;
        const char *text;
    };
    const Case cases[] = {
        {13800138000.0, "13800138000"},
        {1.0, "1"},
        {0.0, "0"},
        {-0.0, "0"},
        {-42.0, "-42"},
        {0.1, "0.1"},
        {12.5, "12.5"},
        {-3.25, "-3.25"},
        {1.0 / 3.0, "0.3333333333333333"},
        {0.0001, "0.0001"},
        {1e-7, "1E-07"},
        {1e20, "1E+20"},
        {9007199254740991.0, "9007199254740991"}, // the largest whole number a double holds exactly
        {9007199254740992.0, "9.007199254740992E+15"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(numberCellText(c.value), QString::fromLatin1(c.text)) << c.text;
}

class XlsWorkbook : public ::testing::Test {
protected:
    std::unique_ptr<Workbook> open(const char *name) {
        auto workbook = openXlsWorkbook(fixture(QString::fromUtf8(name)));
        EXPECT_TRUE(workbook.ok()) << workbook.error().toStdString();
        return workbook.ok() ? std::move(workbook).value() : nullptr;
    }
};

TEST_F(XlsWorkbook, ReadsEachKindOfCellAsTheSpreadsheetShowsIt) {
    auto book = open("cells.xls");
    ASSERT_TRUE(book);
    // Column 1 names the case, column 2 holds the value (see make_fixtures.py).
    const std::pair<const char *, const char *> expected[] = {
        {"whole", "13800138000"},
        {"one", "1"},
        {"one-float", "1"},
        {"tenth", "0.1"},
        {"negative", "-3.25"},
        {"big", "1E+20"},
        {"twelve-digits", "123456789012"},
        {"small", "0.0001"},
        {"text-digits", "007"},
        {"date", "2024-03-05"},
        {"datetime", "2024-03-05 14:07:09"},
        {"time", "14:07:09"},
        {"emoji", "😀;:,\\\""},
        {"empty", ""},
    };
    ASSERT_EQ(book->rowCount(), 2 + static_cast<int>(std::size(expected)));
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        const int row = 3 + i;
        EXPECT_EQ(book->cell(row, 1), QString::fromUtf8(expected[i].first));
        EXPECT_EQ(book->cell(row, 2), QString::fromUtf8(expected[i].second)) << expected[i].first;
    }
}

TEST_F(XlsWorkbook, ReadsFormulaCellsAsTheirLastResults) {
    auto book = open("formulas.xls");
    ASSERT_TRUE(book);
    const std::pair<const char *, const char *> expected[] = {
        {"number", "13800138000"}, {"fraction", "0.5"},  {"text", "公式结果😀"},
        {"true", "TRUE"},          {"error", "#DIV/0!"}, {"empty", ""},
    };
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        EXPECT_EQ(book->cell(3 + i, 1), QString::fromUtf8(expected[i].first));
        EXPECT_EQ(book->cell(3 + i, 2), QString::fromUtf8(expected[i].second)) << expected[i].first;
    }
    EXPECT_EQ(book->cell(9, 1), QStringLiteral("公式文件名"));
    EXPECT_EQ(book->cell(9, 2), QStringLiteral("plain"));
}

TEST_F(XlsWorkbook, GivesEmptyTextOutsideTheSheet) {
    auto book = open("cells.xls");
    ASSERT_TRUE(book);
    EXPECT_EQ(book->cell(1, 1), QStringLiteral("单项文本"));
    for (auto [row, column] : {std::pair{0, 1},
                               {1, 0},
                               {-1, -1},
                               {book->rowCount() + 1, 1},
                               {1, book->columnCount() + 1},
                               {std::numeric_limits<int>::max(), 1}})
        EXPECT_TRUE(book->cell(row, column).isEmpty()) << row << "," << column;
}

TEST_F(XlsWorkbook, ReadsAnExcel95WorkbookInTheChineseCodePage) {
    auto book = open("biff5-gbk.xls");
    ASSERT_TRUE(book);
    EXPECT_EQ(book->cell(1, 1), QStringLiteral("电话"));
    EXPECT_EQ(book->cell(3, 1), QStringLiteral("旧版一"));
    EXPECT_EQ(book->cell(3, 2), QStringLiteral("13800138000"));
    EXPECT_EQ(book->cell(4, 2), QStringLiteral("010-62345678"));
}

TEST_F(XlsWorkbook, ReadsLongTextsWholeAndInStep) {
    auto book = open("long-cells.xls");
    ASSERT_TRUE(book);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(book->cell(3 + i, 2), QString(3999, QChar(0x4E00 + i)) + QStringLiteral("尾")) << i;
        EXPECT_EQ(book->cell(23 + i, 2), QStringLiteral("b%1").arg(i, 2, 10, QLatin1Char('0')).repeated(2000))
            << i;
    }
    EXPECT_EQ(book->cell(43, 2), QStringLiteral("末"));
}

// Longer texts come back cut short from the reader and shift the texts after them, so such
// a workbook is refused.
TEST(XlsWorkbookFailures, RefuseTextsTooLongToReadSafely) {
    for (const char *name : {"large-cell.xls", "large-ascii-cell.xls"}) {
        const QString file = fixture(QString::fromUtf8(name));
        auto workbook = openXlsWorkbook(file);
        ASSERT_FALSE(workbook.ok()) << name;
        EXPECT_TRUE(workbook.error().startsWith(file + QStringLiteral("中有单元格的文字太长"))) << name;
    }
}

} // namespace

} // namespace kodrix::test
