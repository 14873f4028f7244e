// Text import: decoding, line splitting, appending.
#include "ImportFixture.h"

#include "common/TextDecoding.h"
#include "import/ImportMessages.h"
#include "settings/SettingsFile.h"

#include <QDir>

#include <gtest/gtest.h>

namespace kodrix::test {

namespace {

class TextImport : public ::testing::Test {
protected:
    void SetUp() override {
        fx.seedList({"kept"});
        fx.settings().doctype = QStringLiteral("电话");
        ASSERT_TRUE(saveContentType(fx.settings().doctype, fx.programFolder()).ok());
    }

    ImportOutcome importBytes(const QByteArray &bytes) {
        fx.folder().write(QStringLiteral("列表.txt"), bytes);
        return importTextFile(fx.folder().file(QStringLiteral("列表.txt")), fx.target());
    }

    // The wenben of the records after the one that was there before.
    QStringList addedLines() {
        QStringList lines;
        for (int row = 1; row < fx.records().size(); ++row)
            lines << fx.records().at(row)[Column::wenben];
        return lines;
    }

    ImportFixture fx;
};

TEST(TextImportLines, SplitsTheFileIntoOneRecordPerLine) {
    struct Case {
        const char *what;
        QByteArray bytes;
        QStringList lines;
    };
    const QByteArray chinese = QByteArrayLiteral("第一行\r\n第二行");
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\nc", {"a", "b", "c"}},
        {"LF", "a\nb\nc", {"a", "b", "c"}},
        {"CR", "a\rb\rc", {"a", "b", "c"}},
        {"mixed breaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a final break makes no extra line", "a\r\n\r\nc\r\n", {"a", "", "c"}},
        {"two final breaks make one empty line", "a\n\n", {"a", ""}},
        {"only a break", "\r\n", {""}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"lines stay untrimmed", "  a \t\n\t", {"  a \t", "\t"}},
        {"UTF-8", chinese, {"第一行", "第二行"}},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + chinese, {"第一行", "第二行"}},
        {"GBK", toGbk(QStringLiteral("第一行\r\n第二行")), {"第一行", "第二行"}},
        {"emoji", "😀;:,\\\n", {"😀;:,\\"}},
        {"NUL ends the text", QByteArray("a\nb\0c\nd", 7), {"a", "b"}},
        {"NUL first", QByteArray("\0a\nb", 4), {}},
        {"empty file", "", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ImportFixture local;
        local.seedList({"kept"});
        local.folder().write(QStringLiteral("t.txt"), c.bytes);
        const ImportOutcome outcome =
            importTextFile(local.folder().file(QStringLiteral("t.txt")), local.target());
        EXPECT_EQ(outcome.status, ImportOutcome::Status::Imported);
        EXPECT_EQ(outcome.message, kImportDoneMessage);
        EXPECT_EQ(outcome.recordsAdded, c.lines.size());
        EXPECT_EQ(outcome.listChanged, !c.lines.isEmpty());
        ASSERT_EQ(local.records().size(), 1 + c.lines.size());
        for (qsizetype i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(local.records().at(static_cast<int>(i) + 1)[Column::wenben], c.lines[i]) << i;
    }
}

TEST_F(TextImport, AppendsNumberedRecordsAndKeepsTheContentType) {
    const ImportOutcome outcome = importBytes("a\r\n\r\nc\r\n");
    EXPECT_FALSE(outcome.contentTypeChanged);
    EXPECT_EQ(fx.storedFileNames(), (QStringList{"kept", "1", "2", "3"}));
    EXPECT_EQ(addedLines(), (QStringList{"a", "", "c"}));
    EXPECT_EQ(fx.records().at(0)[Column::wenben], "old kept");
    for (int row = 1; row < fx.records().size(); ++row) {
        EXPECT_EQ(fx.records().at(row)[Column::mainid], "0");
        EXPECT_EQ(fx.records().at(row)[Column::id].size(), 17);
        EXPECT_TRUE(fx.records().at(row)[Column::dianhua].isEmpty());
    }
    EXPECT_EQ(fx.settings().doctype, QStringLiteral("电话"));
    EXPECT_EQ(fx.storedContentType(), QStringLiteral("电话"));

    // A second import numbers its lines from 1 again and appends after the first.
    importBytes("d");
    EXPECT_EQ(fx.storedFileNames(), (QStringList{"kept", "1", "2", "3", "1"}));
}

TEST_F(TextImport, TakesAOneMegabyteLineWhole) {
    const QByteArray line(1 << 20, 'x');
    ASSERT_EQ(importBytes(line + "\r\nend").status, ImportOutcome::Status::Imported);
    EXPECT_EQ(addedLines().value(0).size(), 1 << 20);
    EXPECT_EQ(addedLines().value(1), "end");
}

TEST_F(TextImport, RefusesAFileItCannotReadAndAddsNothing) {
    const QString folderNamedTxt = fx.folder().file(QStringLiteral("文件夹.txt"));
    ASSERT_TRUE(QDir().mkdir(folderNamedTxt));
    for (const QString &file : {fx.folder().file(QStringLiteral("没有这个文件.txt")), folderNamedTxt}) {
        const ImportOutcome outcome = importTextFile(file, fx.target());
        EXPECT_EQ(outcome.status, ImportOutcome::Status::Refused);
        EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("无法读取文件：") + file))
            << outcome.message.toStdString();
        EXPECT_EQ(fx.storedFileNames(), QStringList{"kept"});
    }
}

TEST_F(TextImport, AddsNothingWhenTheDatabaseRefusesTheRows) {
    ASSERT_TRUE(fx.database().ExecSql(QStringLiteral(
        "create trigger refuse before insert on list begin select raise(abort, 'disk full'); end")));
    const ImportOutcome outcome = importBytes("a\nb");
    EXPECT_EQ(outcome.status, ImportOutcome::Status::Refused);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("disk full")));
    EXPECT_EQ(fx.storedFileNames(), QStringList{"kept"});
    EXPECT_EQ(fx.records().size(), 1);
    EXPECT_FALSE(fx.records().hasPendingChanges());
}

} // namespace

} // namespace kodrix::test
