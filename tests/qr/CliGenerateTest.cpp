// kodrix-cli generate and verify on a temporary program folder.
#include "support/CliRunner.h"
#include "support/TempFolder.h"

#include "store/Database.h"
#include "store/RecordSet.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

namespace {

using Outcome = CliRun;

class CliGenerate : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char *name : {"PtQREncode.dll", "PtImageRW.dll"})
            ASSERT_TRUE(QFile::copy(builtProgramFolder() + QString::fromLatin1(name), program.file(QString::fromLatin1(name))));
        ASSERT_TRUE(writeFreshDatabase(program.file(QStringLiteral("data.mdb"))));
    }

    void addRecords(const std::vector<std::pair<QString, QString>> &rows) {
        auto database = Database::open(program.file(QStringLiteral("data.mdb")));
        ASSERT_TRUE(database.ok()) << database.error().toStdString();
        RecordSet records(**database);
        ASSERT_TRUE(records.requery().ok());
        for (const auto &[text, fileName] : rows) {
            Record record;
            record[Column::wenben] = text;
            record[Column::filename] = fileName;
            records.insert(record);
        }
        ASSERT_TRUE(records.batchUpdate().ok());
    }

    Outcome cli(const QStringList &arguments) const { return runCli(program.path(), runtime.path(), arguments); }

    QString output(const QString &name) const { return program.file(QStringLiteral("二维码/") + name); }

    TempFolder program;
    TempFolder runtime;
};

} // namespace

TEST_F(CliGenerate, GenerateThenVerifyFindsEveryPicture) {
    addRecords({{QStringLiteral("第一条"), QStringLiteral("1")}, {QStringLiteral("😀 二"), QStringLiteral("2")},
                {QString(), QStringLiteral("空")}, {QStringLiteral("a;b:c,d\\e"), QStringLiteral("3")}});
    const Outcome generated = cli({QStringLiteral("generate")});
    ASSERT_EQ(generated.exitCode, 0) << generated.out.toStdString() << generated.err.toStdString();
    EXPECT_TRUE(generated.out.contains(QStringLiteral("批量生成完毕，已经保存在：") + program.file(QStringLiteral("二维码/"))));

    const Outcome verified = cli({QStringLiteral("verify")});
    EXPECT_EQ(verified.exitCode, 0);
    EXPECT_EQ(verified.out, QStringLiteral("3 passed, 0 failed\n"));

    // One picture gone, one replaced by another record's picture.
    ASSERT_TRUE(QFile::remove(output(QStringLiteral("1.JPG"))));
    ASSERT_TRUE(QFile::remove(output(QStringLiteral("3.JPG"))));
    ASSERT_TRUE(QFile::copy(output(QStringLiteral("2.JPG")), output(QStringLiteral("3.JPG"))));
    const Outcome broken = cli({QStringLiteral("verify")});
    EXPECT_NE(broken.exitCode, 0);
    const QStringList lines = broken.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << broken.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("第1行（文件名：1）")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("第4行（文件名：3）")));
    EXPECT_EQ(lines[2], QStringLiteral("1 passed, 2 failed"));
}

TEST_F(CliGenerate, ARecordWithoutPictureMakesTheExitCodeFail) {
    addRecords({{QStringLiteral("好"), QStringLiteral("ok")}, {QStringLiteral("坏"), QStringLiteral("../escape")}});
    const Outcome generated = cli({QStringLiteral("generate"), QStringLiteral("--colour-at"), QStringLiteral("5,6")});
    EXPECT_EQ(generated.exitCode, 1);
    EXPECT_TRUE(generated.out.contains(QStringLiteral("第2行（文件名：../escape）"))) << generated.out.toStdString();
    EXPECT_TRUE(QFile::exists(output(QStringLiteral("ok.JPG"))));
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("escape.JPG"))));
}

TEST_F(CliGenerate, BadOptionsShowTheUsage) {
    for (const QStringList &arguments : {QStringList{QStringLiteral("generate"), QStringLiteral("--colour-at"), QStringLiteral("5")},
                                         QStringList{QStringLiteral("generate"), QStringLiteral("--somewhere"), QStringLiteral("1,2")},
                                         QStringList{QStringLiteral("verify"), QStringLiteral("extra")}}) {
        const Outcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
    }
}
