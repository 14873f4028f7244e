// The checks a run makes before it touches anything, and the emptying of the output folder.
#include "RunFixture.h"

#include "qr/OutputFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

using namespace kodrix;
using namespace kodrix::test;

namespace {

const QString kThanks = QStringLiteral("，请检查并纠正，谢谢！");
const QString kColourEmpty = QStringLiteral(",因为二维码颜色来源你选择了图片颜色，所以二维码颜色图片不能为空");
const QString kBackgroundEmpty = QStringLiteral(",因为背景颜色来源你选择了图片颜色，所以背景颜色图片不能为空");

QString colourWidth(int picture, int code) {
    return QStringLiteral(",因为二维码颜色来源你选择了图片颜色（该项选择需拖动条码，所以条码的宽度应比二维码颜色图片的宽度小），而经过检查，二维码颜色图片宽度为：") +
           QString::number(picture) + QStringLiteral("，而你填写的条码宽度为") + QString::number(code) +
           QStringLiteral("，请修改");
}
QString colourHeight(int picture, int code) {
    return QStringLiteral(",因为二维码颜色来源你选择了图片颜色（该项选择需拖动条码，所以条码的高度应比二维码颜色图片的高度小），而经过检查，二维码颜色图片高度为：") +
           QString::number(picture) + QStringLiteral("，而你填写的条码高度为") + QString::number(code) +
           QStringLiteral("，请修改");
}
QString backgroundWidth(int picture, int code) {
    return QStringLiteral(",因为你选择了连同背景图一起做为条码（该项选择需拖动条码，所以条码的宽度应比背景图的宽度小），而经过检查，背景图宽度为：") +
           QString::number(picture) + QStringLiteral("，而你填写的条码宽度为") + QString::number(code) +
           QStringLiteral("，请修改");
}
QString backgroundHeight(int picture, int code) {
    return QStringLiteral(",因为你选择了连同背景图一起做为条码（该项选择需拖动条码，所以条码的高度应比背景图的高度小），而经过检查，背景图高度为：") +
           QString::number(picture) + QStringLiteral("，而你填写的条码高度为") + QString::number(code) +
           QStringLiteral("，请修改");
}

class RunChecks : public ::testing::Test {
protected:
    void SetUp() override {
        fixture.temp().write(QStringLiteral("二维码/留下.txt"), "keep");
        fixture.records.push_back(textRecord(QStringLiteral("内容"), QStringLiteral("001")));
        colour300 = fixture.savePicture(QStringLiteral("颜色 300.bmp"), gradient(300, 300, qRgb(0, 0, 90), qRgb(90, 0, 0)));
        colour299 = fixture.savePicture(QStringLiteral("颜色 299.jpg"), gradient(299, 300, qRgb(0, 0, 90), qRgb(90, 0, 0)));
        colourLow = fixture.savePicture(QStringLiteral("颜色 low.BMP"), gradient(300, 299, qRgb(0, 0, 90), qRgb(90, 0, 0)));
        background = fixture.savePicture(QStringLiteral("背景.jpg"), gradient(250, 260, qRgb(255, 255, 200), qRgb(200, 255, 255)));
        fixture.temp().write(QStringLiteral("颜色.png"), "not a picture kind");
        fixture.temp().write(QStringLiteral("坏的.jpg"), "\xFF\xD8\xFF\xE0 broken");
    }
    bool untouched() const { return fixture.temp().read(QStringLiteral("二维码/留下.txt")) == "keep"; }

    RunFixture fixture;
    QString colour300, colour299, colourLow, background;
};

} // namespace

TEST_F(RunChecks, RefusalsGiveTheirMessageAndTouchNothing) {
    const QString folder = fixture.temp().path();
    struct Case {
        const char *name;
        std::function<void(Settings &)> change;
        QString message;
    };
    const Case cases[] = {
        {"empty height", [](Settings &s) { s.height.clear(); }, QStringLiteral("高或宽输入错误，高或宽必须是整数，请检查！")},
        {"letters in width", [](Settings &s) { s.width = QStringLiteral("12a"); }, QStringLiteral("高或宽输入错误，高或宽必须是整数，请检查！")},
        {"negative width", [](Settings &s) { s.width = QStringLiteral("-5"); }, QStringLiteral("高或宽输入错误，高或宽必须是整数，请检查！")},
        {"overflowing height", [](Settings &s) { s.height = QStringLiteral("99999999999"); }, QStringLiteral("高或宽输入错误，高或宽必须是整数，请检查！")},
        {"zero width", [](Settings &s) { s.width = QStringLiteral("0"); }, QStringLiteral("高或宽输入错误，高和宽必须大于0，请检查！")},
        {"empty folder", [](Settings &s) { s.savepath.clear(); }, QStringLiteral("二维码保存目录不能为空！")},
        {"png type", [](Settings &s) { s.picturetype = QStringLiteral(".PNG"); }, QStringLiteral("错误的图片类型，图片类型必须为JPG或BMP！")},
        {"type without dot", [](Settings &s) { s.picturetype = QStringLiteral("JPG"); }, QStringLiteral("错误的图片类型，图片类型必须为JPG或BMP！")},
        {"unlisted colour source", [](Settings &s) { s.codecolorfrom.clear(); },
         QStringLiteral("错误的二维码颜色来源，二维码颜色来源必须为统一颜色或图片颜色！")},
        {"colour picture empty", [](Settings &s) { s.codecolorfrom = kPictureColour; }, kColourEmpty + kThanks},
        {"colour picture missing",
         [&](Settings &s) {
             s.codecolorfrom = kPictureColour;
             s.codecolorpicture = folder + QStringLiteral("没有.jpg");
         },
         QStringLiteral(",因为二维码颜色来源你选择了图片颜色，而经过检查，二维码颜色图片不存在：") + folder +
             QStringLiteral("没有.jpg") + kThanks},
        {"colour picture a pixel narrow",
         [&](Settings &s) {
             s.codecolorfrom = kPictureColour;
             s.codecolorpicture = colour299;
         },
         colourWidth(299, 300) + kThanks},
        {"colour picture a pixel low",
         [&](Settings &s) {
             s.codecolorfrom = kPictureColour;
             s.codecolorpicture = colourLow;
         },
         colourHeight(299, 300) + kThanks},
        {"colour picture of no picture kind",
         [&](Settings &s) {
             s.codecolorfrom = kPictureColour;
             s.codecolorpicture = folder + QStringLiteral("颜色.png");
         },
         colourWidth(0, 300) + colourHeight(0, 300) + kThanks},
        {"background picture empty", [](Settings &s) { s.backcolorfrom = kPictureColour; }, kBackgroundEmpty + kThanks},
        {"background smaller than the code",
         [&](Settings &s) {
             s.backcolorfrom = kPictureColour;
             s.backcolorpicture = background;
         },
         backgroundWidth(250, 300) + backgroundHeight(260, 300) + kThanks},
        {"both pictures, pieces in order",
         [&](Settings &s) {
             s.width = QStringLiteral("280");
             s.codecolorfrom = kPictureColour;
             s.backcolorfrom = kPictureColour;
             s.backcolorpicture = background;
         },
         kColourEmpty + backgroundWidth(250, 280) + backgroundHeight(260, 300) + kThanks},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings = fixture.settings;
        c.change(settings);
        RunRequest request = fixture.request();
        request.settings = settings;
        const auto run = runGeneration(request);
        ASSERT_FALSE(run.ok());
        EXPECT_EQ(run.error(), c.message);
        EXPECT_TRUE(untouched());
    }
}

TEST_F(RunChecks, UnreadablePicturesAreRefusedWithTheReadersReason) {
    const QString broken = fixture.temp().file(QStringLiteral("坏的.jpg"));
    const std::function<void(Settings &)> changes[] = {
        [&](Settings &s) { s.selectlogo = broken; },
        [&](Settings &s) { s.codecolorfrom = kPictureColour; s.codecolorpicture = broken; },
        [&](Settings &s) { s.backcolorfrom = kPictureColour; s.backcolorpicture = broken; s.backstretch = true; },
        [&](Settings &s) { s.selectlogo = fixture.temp().file(QStringLiteral("颜色.png")); },
    };
    for (const auto &change : changes) {
        RunRequest request = fixture.request();
        change(request.settings);
        const auto run = runGeneration(request);
        ASSERT_FALSE(run.ok());
        EXPECT_TRUE(run.error().contains(fixture.temp().path())) << run.error().toStdString();
        EXPECT_TRUE(untouched());
    }
}

TEST_F(RunChecks, PicturesLargeEnoughPass) {
    fixture.records.clear();
    const std::function<void(Settings &)> changes[] = {
        [&](Settings &s) { s.codecolorfrom = kPictureColour; s.codecolorpicture = colour300; }, // exactly the code's size
        [&](Settings &s) { s.backcolorfrom = kPictureColour; s.backcolorpicture = background; s.backstretch = true; },
        [&](Settings &s) { s.backcolorfrom = kPictureColour; s.backcolorpicture = fixture.temp().file(QStringLiteral("无.jpg")); },
        [&](Settings &s) { s.picturetype = QStringLiteral(".bmp"); },
    };
    for (const auto &change : changes) {
        RunRequest request = fixture.request();
        change(request.settings);
        const auto run = runGeneration(request);
        ASSERT_TRUE(run.ok()) << run.error().toStdString();
        EXPECT_EQ(run->completionMessage(), QStringLiteral("批量生成完毕，已经保存在：") + fixture.outputFolder());
    }
}

TEST_F(RunChecks, AnEmptyListEmptiesTheFolderAndCompletes) {
    fixture.records.clear();
    fixture.temp().write(QStringLiteral("二维码/子目录/.隐藏"), "x");
    const auto run = runGeneration(fixture.request());
    ASSERT_TRUE(run.ok()) << run.error().toStdString();
    EXPECT_TRUE(run->complete());
    EXPECT_TRUE(QFileInfo(fixture.outputFolder()).isDir());
    EXPECT_TRUE(QDir(fixture.outputFolder()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

TEST_F(RunChecks, FoldersThatHoldTheProgramAreRefused) {
    const QString program = fixture.temp().path();
    const QString link = fixture.temp().file(QStringLiteral("二维码/到程序目录"));
    ASSERT_TRUE(QFile::link(program, link));
    for (const QString &folder : {program, program + QStringLiteral("../"), link + QLatin1Char('/')}) {
        RunRequest request = fixture.request();
        request.settings.savepath = folder;
        const auto run = runGeneration(request);
        ASSERT_FALSE(run.ok()) << folder.toStdString();
        EXPECT_EQ(run.error(), QStringLiteral("二维码保存目录“%1”是程序目录或包含程序目录的目录，不能清空，请在软件设置里另选保存目录！").arg(folder));
        EXPECT_TRUE(untouched());
        EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral("PtQREncode.dll")));
    }
}

TEST(OutputFolderCheck, RootAndHomeAreRefusedOthersPass) {
    TempFolder program;
    const ProgramFolder folder(program.path());
    EXPECT_FALSE(checkOutputFolder(QStringLiteral("/"), folder).ok());
    EXPECT_FALSE(checkOutputFolder(QStringLiteral("/tmp/../"), folder).ok());
    EXPECT_FALSE(checkOutputFolder(QDir::homePath() + QLatin1Char('/'), folder).ok());
    EXPECT_FALSE(checkOutputFolder(QDir::homePath() + QStringLiteral("/.."), folder).ok());
    EXPECT_TRUE(checkOutputFolder(program.file(QStringLiteral("二维码/")), folder).ok()); // not there yet
    QDir().mkpath(program.file(QStringLiteral("输出/")));
    EXPECT_TRUE(checkOutputFolder(program.file(QStringLiteral("输出/")), folder).ok());
}

TEST(EmptyOutputFolder, RemovesLinksWithoutFollowingThem) {
    TempFolder outside;
    outside.write(QStringLiteral("目标/保留.txt"), "target");
    outside.write(QStringLiteral("单个文件.txt"), "file");
    TempFolder output;
    output.write(QStringLiteral("a.JPG"), "a");
    output.write(QStringLiteral(".hidden"), "h");
    output.write(QStringLiteral("子/孙/b.BMP"), "b");
    QFile::setPermissions(output.file(QStringLiteral("a.JPG")), QFileDevice::ReadOwner);
    ASSERT_TRUE(QFile::link(outside.file(QStringLiteral("目标")), output.file(QStringLiteral("链接目录"))));
    ASSERT_TRUE(QFile::link(outside.file(QStringLiteral("单个文件.txt")), output.file(QStringLiteral("子/链接文件"))));
    ASSERT_TRUE(QFile::link(outside.file(QStringLiteral("不存在")), output.file(QStringLiteral("断链"))));

    ASSERT_TRUE(emptyOutputFolder(output.path()).ok());
    EXPECT_TRUE(QDir(output.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    EXPECT_EQ(outside.read(QStringLiteral("目标/保留.txt")), "target");
    EXPECT_EQ(outside.read(QStringLiteral("单个文件.txt")), "file");
}

TEST(EmptyOutputFolder, CreatesAMissingFolderWithItsParents) {
    TempFolder root;
    const QString folder = root.file(QStringLiteral("一/二/三/"));
    ASSERT_TRUE(emptyOutputFolder(folder).ok());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    root.write(QStringLiteral("文件"), "x");
    EXPECT_FALSE(emptyOutputFolder(root.file(QStringLiteral("文件/"))).ok());
}
