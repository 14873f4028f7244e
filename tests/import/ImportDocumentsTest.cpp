// The templates and the manual: opening them for viewing, and what the build delivers.
#include "ImportFixture.h"

#include "import/ImportDocuments.h"
#include "qr/Payload.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kodrix::test {

namespace {

class RecordingOpener final : public DocumentOpener {
public:
    void open(const QString &file) override { opened << file; }
    QStringList opened;
};

class ViewingCopies : public ::testing::Test {
protected:
    ImportFixture fx;
    RecordingOpener opener;
};

TEST_F(ViewingCopies, OpenACopyOfTheTemplateAndLeaveTheTemplateAlone) {
    fx.folder().write(QStringLiteral("电话模板.xls"), "first");
    ASSERT_TRUE(openTemplate(fx.programFolder(), QStringLiteral("电话模板"), opener).ok());
    const QString copy = fx.folder().file(QStringLiteral("tempfile/查看电话模板.xls"));
    EXPECT_EQ(opener.opened, QStringList{copy});
    EXPECT_EQ(fx.folder().read(QStringLiteral("tempfile/查看电话模板.xls")), "first");

    // The user edits the copy; the next opening puts the template over it again.
    fx.folder().write(QStringLiteral("tempfile/查看电话模板.xls"), "edited by the user");
    EXPECT_EQ(fx.folder().read(QStringLiteral("电话模板.xls")), "first");
    fx.folder().write(QStringLiteral("电话模板.xls"), "second");
    ASSERT_TRUE(openTemplate(fx.programFolder(), QStringLiteral("电话模板"), opener).ok());
    EXPECT_EQ(fx.folder().read(QStringLiteral("tempfile/查看电话模板.xls")), "second");
    EXPECT_EQ(opener.opened.size(), 2);
}

TEST_F(ViewingCopies, OpenACopyOfTheManualUnderItsOwnName) {
    fx.folder().write(QStringLiteral("操作说明.doc"), "manual");
    ASSERT_TRUE(openManual(fx.programFolder(), opener).ok());
    EXPECT_EQ(opener.opened, QStringList{fx.folder().file(QStringLiteral("tempfile/操作说明书.doc"))});
    EXPECT_EQ(fx.folder().read(QStringLiteral("tempfile/操作说明书.doc")), "manual");
}

TEST_F(ViewingCopies, NameTheMissingFileAndOpenNothing) {
    const Status missingTemplate = openTemplate(fx.programFolder(), QStringLiteral("WIFI模板"), opener);
    EXPECT_EQ(missingTemplate.error(),
              fx.folder().path() + QStringLiteral("WIFI模板.xls文件丢失，重新安装软件可以解决此问题。"));
    const Status missingManual = openManual(fx.programFolder(), opener);
    EXPECT_EQ(missingManual.error(),
              fx.folder().path() + QStringLiteral("操作说明.doc文件丢失，重新安装软件可解决此问题"));
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_FALSE(QFile::exists(fx.folder().file(QStringLiteral("tempfile/查看WIFI模板.xls"))));
}

// Each template delivered in the program folder imports with one example record.
TEST(ShippedTemplates, ImportAsTheirContentType) {
    const ProgramFolder shipped(builtProgramFolder());
    for (const ImportTemplate &entry : importTemplates()) {
        const QString item = QString::fromUtf8(entry.item);
        SCOPED_TRACE(entry.item);
        ImportFixture fx;
        const ImportOutcome outcome = importSpreadsheet(templateFile(shipped, item), fx.target());
        ASSERT_EQ(outcome.status, ImportOutcome::Status::Imported) << outcome.message.toStdString();
        EXPECT_EQ(fx.settings().doctype, contentTypeName(entry.type));
        ASSERT_EQ(fx.records().size(), 1);
        const Record &example = fx.records().at(0);
        EXPECT_FALSE(example[Column::filename].isEmpty());
        // Every field the type uses is filled in the example, so its code shows them all.
        for (Column field : contentTypeInfo(entry.type).fields)
            EXPECT_FALSE(example[field].isEmpty()) << columnName(field).toStdString();
    }
}

TEST(ShippedTemplates, MultiTextItemsAreLabelledLines) {
    ImportFixture fx;
    importSpreadsheet(templateFile(ProgramFolder(builtProgramFolder()), QStringLiteral("多项文本模板")),
                      fx.target());
    ASSERT_EQ(fx.records().size(), 1);
    EXPECT_EQ(fx.records().at(0)[Column::wenben],
              QStringLiteral("姓名：张三\r\n电话：13800138000\r\n地址：北京市海淀区中关村大街1号"));
}

// The committed workbooks and manual are what their sources give today.
TEST(GeneratedData, MatchesItsSource) {
    const QString source = QStringLiteral(KODRIX_SOURCE_DIR "/data/");
    const QString regenerated = QStringLiteral(KODRIX_REGENERATED_DATA "/");
    int compared = 0;
    QDirIterator it(regenerated, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = file.mid(regenerated.size());
        if (relative == u"stamp")
            continue;
        QFile fresh(file), committed(source + relative);
        ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
        ASSERT_TRUE(committed.open(QIODevice::ReadOnly)) << "not committed: " << relative.toStdString();
        EXPECT_TRUE(fresh.readAll() == committed.readAll())
            << relative.toStdString() << " differs from its source; run the generator again";
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

// The text of an RTF document, with its \uN escapes decoded and its control words dropped.
QString rtfText(const QByteArray &rtf) {
    QString text;
    QList<char16_t> units;
    static const QRegularExpression token(
        QStringLiteral(R"(\\u(-?\d+)\??|\\[a-z]+-?\d* ?|\\[\\{}]|[{}]|[^\\{}]+)"));
    auto it = token.globalMatch(QString::fromLatin1(rtf));
    while (it.hasNext()) {
        const auto match = it.next();
        const QString piece = match.captured(0);
        if (!match.captured(1).isEmpty())
            text += QChar(static_cast<char16_t>(match.captured(1).toInt()));
        else if (piece.size() == 2 && piece[0] == u'\\' && QStringLiteral("\\{}").contains(piece[1]))
            text += piece[1];
        else if (!piece.startsWith(u'\\') && piece != u"{" && piece != u"}")
            text += piece;
    }
    return text;
}

TEST(Manual, IsAnRtfDocumentThatCoversTheWholeWorkflow) {
    QFile manual(builtProgramFolder() + QStringLiteral("操作说明.doc"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QByteArray rtf = manual.readAll();
    ASSERT_TRUE(rtf.startsWith("{\\rtf1"));
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped brace does not count
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, 0) << "at byte " << i;
    }
    EXPECT_EQ(depth, 0);

    const QString text = rtfText(rtf);
    for (const char *topic :
         {"按模板整理数据", "导入数据", "软件设置", "生成二维码", "打印样式", "预览和打印", "软件升级",
          "错误的文件！", "重复！请在保证所有文件名都不重复的情况下再导入，谢谢！"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
}

} // namespace

} // namespace kodrix::test
