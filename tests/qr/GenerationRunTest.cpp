// Whole runs on a temporary program folder with the built encoder modules.
#include "RunFixture.h"

#include "qr/PictureFiles.h"
#include "qr/QrDecode.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

using namespace kodrix;
using namespace kodrix::test;

namespace {

QByteArray decodedFile(const QString &path) {
    auto picture = loadpic(path);
    if (!picture || picture->isNull())
        return "<unreadable>";
    auto bytes = decodeQrBytes(*picture);
    return bytes ? *bytes : QByteArray("<no code>");
}

// Answers with fixed points and remembers what it was shown.
class CountingPlacement final : public PlacementProvider {
public:
    explicit CountingPlacement(std::optional<QPoint> answer = QPoint(7, 11)) : answer_(answer) {}
    std::optional<QPoint> place(const PlacementRequest &request) override {
        ++calls;
        shown = request.code;
        return answer_;
    }
    int calls = 0;
    QImage shown;

private:
    std::optional<QPoint> answer_;
};

// Every file under `folder` with its bytes.
std::map<QString, QByteArray> filesUnder(const QString &folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files[file.fileName().mid(folder.size())] = file.readAll();
    }
    return files;
}

class GenerationRun : public ::testing::Test {
protected:
    QString out(const QString &name) const { return fixture.outputFolder() + name; }
    RunFixture fixture;
};

} // namespace

TEST_F(GenerationRun, RecordsThatFailAreReportedAndTheRunGoesOn) {
    const QString tooLong = QString(3000, QChar(u'码'));
    const QString longName = QString(300, QLatin1Char('n'));
    struct Row {
        QString text;
        QString fileName;
        bool made;
    };
    const Row rows[] = {
        {QStringLiteral("一"), QStringLiteral("sub/one"), false},
        {QStringLiteral("二"), QStringLiteral("..\\two"), false},
        {QStringLiteral("三"), QStringLiteral(".."), false},
        {QStringLiteral("四"), QStringLiteral("good"), true},
        {QStringLiteral("五"), QStringLiteral("back\\slash"), false},
        {tooLong, QStringLiteral("too long"), false},   // beyond the capacity of a code
        {QStringLiteral("七"), longName, false},         // a file name the file system refuses
        {QString(), QStringLiteral("empty"), true},     // no payload: skipped, not a failure
        {QStringLiteral("九"), QString(), true},          // no name: the file is just ".JPG"
    };
    for (const Row &row : rows)
        fixture.records.push_back(textRecord(row.text, row.fileName));

    const auto run = runGeneration(fixture.request());
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_FALSE(run->complete());
    EXPECT_EQ(run->recordCount, 9);
    EXPECT_EQ(run->withPayload, 8);
    EXPECT_EQ(run->made, 2);
    std::vector<int> failedRows;
    for (const RecordFailure &failure : run->failures) {
        failedRows.push_back(failure.row);
        EXPECT_EQ(failure.filename, rows[failure.row - 1].fileName);
        EXPECT_FALSE(failure.reason.isEmpty());
    }
    EXPECT_EQ(failedRows, (std::vector<int>{1, 2, 3, 5, 6, 7}));
    const QString report = run->problemReport();
    EXPECT_TRUE(report.contains(QStringLiteral("第1行（文件名：sub/one）"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("已生成2张")));

    EXPECT_EQ(decodedFile(out(QStringLiteral("good.JPG"))), QStringLiteral("四").toUtf8());
    EXPECT_EQ(decodedFile(out(QStringLiteral(".JPG"))), QStringLiteral("九").toUtf8());
    const auto files = filesUnder(fixture.temp().path());
    for (const auto &[name, bytes] : files)
        EXPECT_TRUE(name.endsWith(u".dll") || name == u"二维码/good.JPG" || name == u"二维码/.JPG") << name.toStdString();
}

TEST_F(GenerationRun, TheLaterOfTwoRecordsWithOneNameWins) {
    for (int i = 0; i < 24; ++i)
        fixture.records.push_back(textRecord(QStringLiteral("第%1条").arg(i), i % 3 == 0 ? QStringLiteral("同名") : QString::number(i)));
    const auto run = runGeneration(fixture.request(nullptr, 4));
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_TRUE(run->complete());
    EXPECT_EQ(run->made, 24);
    EXPECT_EQ(decodedFile(out(QStringLiteral("同名.JPG"))), QStringLiteral("第21条").toUtf8());
    EXPECT_EQ(decodedFile(out(QStringLiteral("22.JPG"))), QStringLiteral("第22条").toUtf8());
}

TEST_F(GenerationRun, ParallelWritesTheSameFilesAsOneByOne) {
    fixture.settings.selectlogo = fixture.savePicture(QStringLiteral("logo.bmp"), gradient(80, 80, qRgb(255, 255, 255), qRgb(200, 0, 0)));
    fixture.settings.logotransparent = true;
    fixture.settings.codecolorfrom = kPictureColour;
    fixture.settings.codecolorpicture = fixture.savePicture(QStringLiteral("颜色.jpg"), gradient(360, 320, qRgb(0, 0, 120), qRgb(120, 0, 60)));
    fixture.settings.backcolorfrom = kPictureColour;
    fixture.settings.codewhitetransparent = true;
    fixture.settings.backcolorpicture = fixture.savePicture(QStringLiteral("背景.bmp"), gradient(400, 380, qRgb(255, 250, 220), qRgb(220, 250, 255)));
    for (int i = 0; i < 30; ++i)
        fixture.records.push_back(textRecord(QStringLiteral("并行 %1 😀").arg(i), QString::number(i % 25)));

    std::map<QString, QByteArray> results[2];
    for (int pass = 0; pass < 2; ++pass) {
        CountingPlacement placement;
        const auto run = runGeneration(fixture.request(&placement, pass == 0 ? 1 : 4));
        ASSERT_TRUE(run.ok()) << run.error().toStdString();
        EXPECT_TRUE(run->complete());
        EXPECT_EQ(placement.calls, 2); // the colour placement, then the background placement
        results[pass] = filesUnder(fixture.outputFolder());
    }
    EXPECT_EQ(results[0].size(), 25u);
    EXPECT_TRUE(results[0] == results[1]);
}

TEST_F(GenerationRun, PlacementIsAskedOnceOnTheFirstRecordWithAPayload) {
    fixture.settings.codecolorfrom = kPictureColour;
    fixture.settings.codecolorpicture = fixture.savePicture(QStringLiteral("颜色.bmp"), gradient(300, 300, qRgb(0, 0, 0), qRgb(0, 0, 160)));
    fixture.records = {textRecord(QString(), QStringLiteral("e1")), textRecord(QString(), QStringLiteral("e2")),
                       textRecord(QStringLiteral("第一个"), QStringLiteral("a")), textRecord(QStringLiteral("第二个"), QStringLiteral("b"))};
    CountingPlacement placement;
    const auto run = runGeneration(fixture.request(&placement));
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_EQ(placement.calls, 1);
    EXPECT_EQ(decodeQrBytes(placement.shown).value(), QStringLiteral("第一个").toUtf8());
    EXPECT_EQ(run->withPayload, 2);
    EXPECT_EQ(run->made, 2);
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("e1.JPG"))));
    EXPECT_EQ(decodedFile(out(QStringLiteral("b.JPG"))), QStringLiteral("第二个").toUtf8());
}

TEST_F(GenerationRun, CancelledPlacementTouchesNothing) {
    fixture.temp().write(QStringLiteral("二维码/旧.JPG"), "old");
    fixture.settings.backcolorfrom = kPictureColour;
    fixture.settings.backcolorpicture = fixture.savePicture(QStringLiteral("背景.jpg"), gradient(320, 300, qRgb(255, 255, 230), qRgb(230, 255, 255)));
    fixture.records = {textRecord(QStringLiteral("内容"), QStringLiteral("1"))};
    CountingPlacement placement(std::nullopt);
    const auto run = runGeneration(fixture.request(&placement));
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_TRUE(run->cancelled);
    EXPECT_FALSE(run->complete());
    EXPECT_EQ(fixture.output(QStringLiteral("旧.JPG")), "old");
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("1.JPG"))));
}

TEST_F(GenerationRun, ProgressIsReportedAndCanCancel) {
    for (int i = 0; i < 3000; ++i)
        fixture.records.push_back(textRecord(QString::number(i), QString::number(i)));
    std::vector<int> seen;
    RunRequest request = fixture.request(nullptr, 1);
    request.progress = [&seen](int done, int total) {
        EXPECT_EQ(total, 3000);
        seen.push_back(done);
        return false;
    };
    const auto run = runGeneration(request);
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_TRUE(run->cancelled);
    EXPECT_LT(run->made, 3000);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), run->made); // the last report is the final state
}

TEST_F(GenerationRun, MissingModulesRefuseTheRunBeforeEmptying) {
    fixture.temp().write(QStringLiteral("二维码/旧.JPG"), "old");
    QFile::remove(fixture.temp().file(QStringLiteral("PtQREncode.dll")));
    fixture.records = {textRecord(QStringLiteral("内容"), QStringLiteral("1"))};
    const auto run = runGeneration(fixture.request());
    ASSERT_FALSE(run.ok());
    EXPECT_TRUE(run.error().contains(QStringLiteral("PtQREncode.dll")));
    EXPECT_EQ(fixture.output(QStringLiteral("旧.JPG")), "old");
}
