// Spreadsheet import from the fixture workbooks into a real record database.
#include "ImportFixture.h"

#include "import/ImportMessages.h"
#include "settings/SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

namespace kodrix::test {

namespace {

using C = Column;
using Fields = std::initializer_list<std::pair<Column, QString>>;

// The ten pass-through values the fixtures write after the content columns: "<tag>-p1" …
std::vector<std::pair<Column, QString>> passValues(const QString &tag) {
    std::vector<std::pair<Column, QString>> fields;
    for (int n = 1; n <= 10; ++n)
        fields.emplace_back(passThroughColumn(n), tag + QStringLiteral("-p%1").arg(n));
    return fields;
}

Record rec(Fields fields, const QString &passTag = {}) {
    Record record = recordWith(fields);
    if (!passTag.isEmpty())
        for (const auto &[column, value] : passValues(passTag))
            record[column] = value;
    return record;
}

const QString kPreviousType = QStringLiteral("网址");

class SpreadsheetImport : public ::testing::Test {
protected:
    void SetUp() override {
        fx.seedList({"old1", "old2"});
        fx.settings().doctype = kPreviousType;
        ASSERT_TRUE(saveContentType(kPreviousType, fx.programFolder()).ok());
    }

    ImportOutcome import(const QString &file) { return importSpreadsheet(file, fx.target()); }

    void expectNothingChanged(const ImportOutcome &outcome) {
        EXPECT_EQ(outcome.status, ImportOutcome::Status::Refused);
        EXPECT_FALSE(outcome.listChanged);
        EXPECT_FALSE(outcome.contentTypeChanged);
        EXPECT_EQ(fx.storedFileNames(), (QStringList{"old1", "old2"}));
        ASSERT_EQ(fx.records().size(), 2);
        EXPECT_FALSE(fx.records().hasPendingChanges());
        EXPECT_EQ(fx.records().at(0)[C::filename], "old1");
        EXPECT_EQ(fx.settings().doctype, kPreviousType);
        EXPECT_EQ(fx.storedContentType(), kPreviousType);
    }

    ImportFixture fx;
};

struct TypeCase {
    const char *file;
    const char *type;
    std::vector<Record> records;
};

const TypeCase kTypeCases[] = {
    // Rows 3 to 5, then an empty row 6; row 7 is never read.
    {"phone.xls",
     "电话",
     {rec({{C::filename, "p1"}, {C::dianhua, "13800138000"}}, "p1"),
      rec({{C::filename, "p2"}, {C::dianhua, "010-62345678"}}),
      rec({{C::filename, "p3"}, {C::dianhua, "10086"}})}},
    // Row 4 without a file name ends the import although row 5 is filled.
    {"single-text-gap.xls", "单项文本", {rec({{C::filename, "t1"}, {C::wenben, "第一行文本"}})}},
    {"url.xls",
     "网址",
     {rec({{C::filename, "u1"}, {C::wangzhi, "https://www.example.com/?a=1&b=二"}}, "u1")}},
    {"email.xls", "邮箱", {rec({{C::filename, "e1"}, {C::email, "someone@example.com"}}, "e1")}},
    // A row with a file name but no mobile number ends the import.
    {"sms.xls", "短信", {rec({{C::filename, "s1"}, {C::shoujihaoma, "10086"}, {C::xinxi, "CXHF"}}, "s1")}},
    // An empty password ends the import.
    {"wifi.xls",
     "Wifi配置",
     {rec({{C::filename, "w1"},
           {C::zhanghao, "office;5G"},
           {C::mima, "p@ss:w,rd\\1"},
           {C::jiamileixing, "WPA2-AES"}},
          "w1")}},
    // A row without file name but with a name is kept; a row filled only in column 9 ends it.
    {"mecard.xls",
     "名片--MECARD",
     {rec({{C::filename, "m1"},
           {C::xingming, "张三"},
           {C::gongsi, "公司A"},
           {C::zhiwei, "经理"},
           {C::dianhua, "13800138000"},
           {C::qq, "10001"},
           {C::email, "zs@example.com"},
           {C::dizhi, "北京"},
           {C::gerenzhuye, "https://a.example.com"}},
          "m1"),
      rec({{C::xingming, "无文件名"}})}},
    // Column 2 goes into both xingming and cardname; column 14 alone keeps a row, 15 alone ends.
    {"vcard.xls",
     "名片--VCARD",
     {rec({{C::filename, "v1"},
           {C::xingming, "李四"},
           {C::cardname, "李四"},
           {C::nickname, "小李"},
           {C::gongsi, "公司B"},
           {C::zhiwei, "总监"},
           {C::worktel, "010-1"},
           {C::hometel, "010-2"},
           {C::cell, "13900139000"},
           {C::workfax, "010-3"},
           {C::homefax, "010-4"},
           {C::workaddr, "工作地址1"},
           {C::homeaddr, "家庭地址1"},
           {C::qq, "10002"},
           {C::email, "ls@example.com"},
           {C::gerenzhuye, "https://b.example.com"}},
          "v1"),
      rec({{C::email, "only-email@example.com"}})}},
    // Items 姓名 and 电话 before the ten pass-through headers; no line break after the last
    // item, and an empty value still gives its line.
    {"multi-text.xls",
     "多项文本",
     {rec({{C::filename, "x1"}, {C::wenben, "姓名：王五\r\n电话：13700137000"}}, "x1"),
      rec({{C::filename, "x2"}, {C::wenben, "姓名：赵六\r\n电话："}})}},
    // Nine headers: no items, and the pass-through columns start at the file name column.
    {"multi-text-nine-headers.xls",
     "多项文本",
     {rec({{C::filename, "n1"},
           {C::chuanzhi1, "n1"},
           {C::chuanzhi2, "v2"},
           {C::chuanzhi3, "v3"},
           {C::chuanzhi4, "v4"},
           {C::chuanzhi5, "v5"},
           {C::chuanzhi6, "v6"},
           {C::chuanzhi7, "v7"},
           {C::chuanzhi8, "v8"},
           {C::chuanzhi9, "v9"},
           {C::chuanzhi10, "v10"}})}},
    // Codes 0 to 32 are trimmed at both ends; the full-width space and DEL stay.
    {"trimming.xls",
     "单项文本",
     {rec({{C::filename, "f1"},
           {C::wenben, "138"},
           {C::chuanzhi1, "\u3000全角空格\u3000"},
           {C::chuanzhi2, "控制符\x7f"},
           {C::chuanzhi3, "中间 的 空格"}})}},
};

TEST(SpreadsheetImportTypes, ReplacesTheListWithTheRecordsOfEachType) {
    for (const TypeCase &c : kTypeCases) {
        SCOPED_TRACE(c.file);
        const QString type = QString::fromUtf8(c.type);
        ImportFixture local;
        local.seedList({"old1"});
        local.settings().doctype = kPreviousType;
        const ImportOutcome outcome = importSpreadsheet(fixture(QString::fromUtf8(c.file)), local.target());

        EXPECT_EQ(outcome.status, ImportOutcome::Status::Imported);
        EXPECT_EQ(outcome.message, kImportDoneMessage);
        EXPECT_TRUE(outcome.listChanged);
        EXPECT_EQ(outcome.contentTypeChanged, type != kPreviousType);
        EXPECT_EQ(outcome.recordsAdded, static_cast<int>(c.records.size()));
        EXPECT_EQ(local.settings().doctype, type);
        EXPECT_EQ(local.storedContentType(), type);

        ASSERT_EQ(local.records().size(), static_cast<int>(c.records.size()));
        EXPECT_EQ(local.storedFileNames().size(), static_cast<qsizetype>(c.records.size()));
        for (int row = 0; row < local.records().size(); ++row) {
            EXPECT_EQ(local.records().at(row)[C::mainid], "0");
            EXPECT_EQ(withoutKeys(local.records().at(row)), c.records[static_cast<size_t>(row)])
                << "row " << row;
        }
    }
}

TEST_F(SpreadsheetImport, GivesEachRecordTheLocalTimeAsItsId) {
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
    ASSERT_EQ(import(fixture("phone.xls")).status, ImportOutcome::Status::Imported);
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1);
    for (int row = 0; row < fx.records().size(); ++row) {
        const QString id = fx.records().at(row)[C::id];
        ASSERT_TRUE(QRegularExpression(QStringLiteral("^\\d{17}$")).match(id).hasMatch()) << id.toStdString();
        const QDateTime at = QDateTime::fromString(id, QStringLiteral("yyyyMMddHHmmsszzz"));
        EXPECT_TRUE(before <= at && at <= after) << id.toStdString();
    }
}

struct RefusalCase {
    const char *file;
    QString message;  // the whole message, when fixed
    const char *hint; // otherwise a part that says what is wrong with the file
};

TEST_F(SpreadsheetImport, RefusesWithoutChangingTheListOrTheType) {
    const RefusalCase cases[] = {
        {"type-trailing-space.xls", kWrongFileMessage, nullptr},
        {"type-lower-case.xls", kWrongFileMessage, nullptr},
        {"type-empty.xls", kWrongFileMessage, nullptr},
        {"repeated-names.xls",
         QStringLiteral("文件名：甲重复！请在保证所有文件名都不重复的情况下再导入，谢谢！"), nullptr},
        {"multi-text-eight-headers.xls", multiTextTooFewHeadersMessage(8), nullptr},
        {"large-cell.xls", {}, "太长"},
        {"encrypted.xls", {}, "密码"},
        {"not-a-workbook.xls", {}, "不是Excel 97-2003工作簿"},
        {"empty.xls", {}, "不是Excel 97-2003工作簿"},
        {"xlsx-renamed.xls", {}, ".xlsx"},
        {"truncated.xls", {}, "已损坏"},
        {"no-such-file.xls", {}, "无法打开文件"},
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = fixture(QString::fromUtf8(c.file));
        const ImportOutcome outcome = import(file);
        if (c.hint) {
            EXPECT_TRUE(outcome.message.contains(file)) << outcome.message.toStdString();
            EXPECT_TRUE(outcome.message.contains(QString::fromUtf8(c.hint))) << outcome.message.toStdString();
        } else {
            EXPECT_EQ(outcome.message, c.message);
        }
        expectNothingChanged(outcome);
    }
}

TEST_F(SpreadsheetImport, LeavesEverythingAsItWasWhenTheDatabaseRefusesTheRows) {
    ASSERT_TRUE(fx.database().ExecSql(QStringLiteral(
        "create trigger refuse before insert on list begin select raise(abort, 'disk full'); end")));
    const ImportOutcome outcome = import(fixture("phone.xls"));
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("disk full"))) << outcome.message.toStdString();
    expectNothingChanged(outcome);
}

TEST_F(SpreadsheetImport, LeavesEverythingAsItWasWhenTheTypeCannotBeStored) {
    const QString settingsFile = fx.programFolder().file(kSettingsFileName);
    QFile::remove(settingsFile);
    ASSERT_TRUE(QDir().mkdir(settingsFile)); // a folder where the file should be
    const ImportOutcome outcome = import(fixture("phone.xls"));
    EXPECT_EQ(outcome.status, ImportOutcome::Status::Refused);
    EXPECT_EQ(fx.storedFileNames(), (QStringList{"old1", "old2"}));
    EXPECT_EQ(fx.records().size(), 2);
    EXPECT_EQ(fx.settings().doctype, kPreviousType);
}

TEST(ImportChoice, GoesByTheLastThreeLettersOfTheName) {
    struct Case {
        const char *name;
        Importer expected;
    };
    const Case cases[] = {
        {"数据.xls", &importSpreadsheet},
        {"DATA.XLS", &importSpreadsheet},
        {"a.Xls", &importSpreadsheet},
        {"list.txt", &importTextFile},
        {"LIST.TXT", &importTextFile},
        {"data.xlsx", nullptr},
        {"data.csv", nullptr},
        {"noextension", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases)
        EXPECT_EQ(importerFor(QString::fromUtf8(c.name)), c.expected) << c.name;
}

TEST_F(SpreadsheetImport, IgnoresAFileOfAnotherKindEvenWhenItIsAWorkbook) {
    const QString renamed = fx.folder().file(QStringLiteral("data.xlsx"));
    ASSERT_TRUE(QFile::copy(fixture("phone.xls"), renamed));
    const ImportOutcome outcome = importFile(renamed, fx.target());
    EXPECT_EQ(outcome.status, ImportOutcome::Status::Ignored);
    EXPECT_TRUE(outcome.message.isEmpty());
    EXPECT_EQ(fx.storedFileNames(), (QStringList{"old1", "old2"}));
    EXPECT_EQ(fx.storedContentType(), kPreviousType);
}

} // namespace

} // namespace kodrix::test
