// kodrix-cli import: the program's outcomes and messages, and its exit status.
#include "support/CliRunner.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kodrix::test {

namespace {

class CliImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeFreshDatabase(folder.file(QStringLiteral("data.mdb")))); }

    // Outputs trimmed: the messages are compared as whole texts.
    CliRun cli(const QStringList &arguments) const {
        CliRun run = runCli(folder.path(), runtime.path(), arguments);
        return {run.exitCode, run.out.trimmed(), run.err.trimmed()};
    }

    int listSize() { return static_cast<int>(cli({QStringLiteral("list")}).out.count(u'\n')) + 1; }

    TempFolder folder;
    TempFolder runtime;
};

QString example(const char *name) {
    return QStringLiteral(KODRIX_SOURCE_DIR "/data/examples/") + QString::fromUtf8(name);
}

TEST_F(CliImport, ImportsAWorkbookAndATextFile) {
    const CliRun workbook = cli({QStringLiteral("import"), example("wifi.xls")});
    EXPECT_EQ(workbook.exitCode, 0) << workbook.err.toStdString();
    EXPECT_EQ(workbook.out, QStringLiteral("导入完毕！"));
    EXPECT_EQ(listSize(), 3);
    EXPECT_TRUE(cli({QStringLiteral("settings")}).out.contains(QStringLiteral("Wifi配置")));

    const CliRun text = cli({QStringLiteral("import"), example("lines.txt")});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, QStringLiteral("导入完毕！"));
    EXPECT_EQ(listSize(), 3 + 4);
}

TEST_F(CliImport, ExitsWithFailureOnEveryRefusal) {
    const CliRun wrong =
        cli({QStringLiteral("import"), QStringLiteral(KODRIX_IMPORT_FIXTURES "/type-trailing-space.xls")});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_EQ(wrong.err, QStringLiteral("错误的文件！"));

    const CliRun repeated =
        cli({QStringLiteral("import"), QStringLiteral(KODRIX_IMPORT_FIXTURES "/repeated-names.xls")});
    EXPECT_NE(repeated.exitCode, 0);
    EXPECT_TRUE(repeated.err.startsWith(QStringLiteral("文件名：甲重复！")));

    const CliRun otherKind = cli({QStringLiteral("import"), example("wifi.xls") + QStringLiteral("x")});
    EXPECT_NE(otherKind.exitCode, 0);
    EXPECT_TRUE(otherKind.out.isEmpty());
    EXPECT_TRUE(cli({QStringLiteral("list")}).out.isEmpty());
}

} // namespace

} // namespace kodrix::test
