// Every content type under every composition: each picture a run writes reads back, with
// ZXing, as exactly the bytes of the record's payload.
#include "RunFixture.h"

#include "qr/Payload.h"
#include "qr/PictureFiles.h"
#include "qr/QrDecode.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kodrix;
using namespace kodrix::test;

namespace {

struct Composition {
    const char *name;
    std::function<void(RunFixture &)> apply;
};

QImage logoPicture() {
    QImage logo = gradient(90, 90, qRgb(255, 255, 255), qRgb(0, 90, 200));
    for (int y = 20; y < 70; ++y)
        for (int x = 20; x < 70; ++x)
            logo.setPixel(x, y, qRgb(255, 255, 255));
    return logo;
}

void colourFromPicture(RunFixture &f) {
    f.settings.codecolorfrom = kPictureColour;
    f.settings.codecolorpicture = f.savePicture(QStringLiteral("颜色图.jpg"), gradient(340, 330, qRgb(0, 0, 110), qRgb(110, 0, 40)));
}

void placedBackground(RunFixture &f) {
    f.settings.backcolorfrom = kPictureColour;
    f.settings.backcolorpicture = f.savePicture(QStringLiteral("背景图.bmp"), gradient(420, 360, qRgb(255, 255, 215), qRgb(215, 245, 255)));
}

const Composition kCompositions[] = {
    {"UniformJpeg", [](RunFixture &f) {
         f.settings.codecolor = QColor(110, 0, 0);
         f.settings.backcolor = QColor(255, 255, 210);
     }},
    {"UniformBitmap", [](RunFixture &f) {
         f.settings.picturetype = QStringLiteral(".BMP");
         f.settings.codecolor = QColor(0, 60, 0);
     }},
    {"PictureColour", colourFromPicture},
    {"StretchedBackground", [](RunFixture &f) {
         f.settings.backcolorfrom = kPictureColour;
         f.settings.backstretch = true;
         f.settings.backcolorpicture = f.savePicture(QStringLiteral("小背景.jpg"), gradient(123, 77, qRgb(255, 240, 200), qRgb(200, 255, 240)));
     }},
    {"PlacedBackground", placedBackground},
    {"PlacedBackgroundWhiteTransparent", [](RunFixture &f) {
         placedBackground(f);
         f.settings.codewhitetransparent = true;
     }},
    {"PictureColourOnPlacedBackground", [](RunFixture &f) {
         colourFromPicture(f);
         placedBackground(f);
         f.settings.codewhitetransparent = true;
         f.settings.picturetype = QStringLiteral(".bmp");
     }},
    {"LogoOpaque", [](RunFixture &f) { f.settings.selectlogo = f.savePicture(QStringLiteral("标志.bmp"), logoPicture()); }},
    {"LogoTransparent", [](RunFixture &f) {
         f.settings.selectlogo = f.savePicture(QStringLiteral("标志.jpg"), logoPicture());
         f.settings.logotransparent = true;
     }},
};

// Chinese text, an emoji, and the characters that MECARD and WIFI escape.
const QString kValues[] = {
    QStringLiteral("李四中文"),
    QStringLiteral("emoji😀🎉"),
    QStringLiteral("a;b:c,d\\e\"f"),
};

void PrintTo(const Composition &composition, std::ostream *out) { *out << composition.name; }

class GenerationProof : public ::testing::TestWithParam<Composition> {};

// Runs one record of `type` whose fields hold `value` and returns what its picture reads as.
QByteArray readBack(RunFixture &fixture, ContentType type, const QString &value, QByteArray *expected) {
    fixture.settings.doctype = contentTypeName(type);
    fixture.records = {recordOf(type, value, QStringLiteral("one"))};
    const auto run = runGeneration(fixture.request());
    if (!run || !run->complete())
        return "<not made>";
    *expected = payloadBytes(buildPayload(fixture.settings.doctype, fixture.records[0], kChannelOwn));
    const auto picture = loadpic(fixture.outputFolder() + QStringLiteral("one") + fixture.settings.picturetype);
    const auto decoded = picture ? decodeQrBytes(*picture) : Result<QByteArray>::failure(picture.error());
    return decoded ? *decoded : decoded.error().toUtf8();
}

} // namespace

TEST_P(GenerationProof, EveryPictureDecodesToItsPayload) {
    RunFixture fixture;
    GetParam().apply(fixture);
    FixedPlacement placement(QPoint(13, 17), QPoint(40, 25));
    for (const ContentTypeInfo &type : allContentTypes()) {
        const QString typeName = QString::fromUtf8(type.name);
        SCOPED_TRACE(typeName.toStdString());
        fixture.settings.doctype = typeName;
        fixture.records.clear();
        for (const QString &value : kValues)
            fixture.records.push_back(recordOf(type.type, value, QString::number(fixture.records.size() + 1)));

        const auto run = runGeneration(fixture.request(&placement));
        ASSERT_TRUE(run.ok()) << run.error().toStdString();
        ASSERT_TRUE(run->complete()) << run->problemReport().toStdString();

        for (const Record &record : fixture.records) {
            const QByteArray expected = payloadBytes(buildPayload(typeName, record, kChannelOwn));
            const QString path = fixture.outputFolder() + record[Column::filename] + fixture.settings.picturetype;
            const auto picture = loadpic(path);
            ASSERT_TRUE(picture.ok()) << picture.error().toStdString();
            const auto decoded = decodeQrBytes(*picture);
            EXPECT_EQ(decoded.ok() ? *decoded : decoded.error().toUtf8(), expected) << path.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Compositions, GenerationProof, ::testing::ValuesIn(kCompositions),
                         [](const ::testing::TestParamInfo<Composition> &info) { return std::string(info.param.name); });

// A vCard of about 500 bytes is a version-22 symbol; rescaled to 300 pixels its modules are
// 2 or 3 pixels wide, and ZXing 1.4's grid sampling misses this one; decodeQrBytes then
// resamples the module grid itself.
TEST(GenerationProofDense, LongVcardReadsBack) {
    RunFixture fixture;
    QByteArray expected;
    EXPECT_EQ(readBack(fixture, ContentType::Vcard, QStringLiteral("张三丰中文"), &expected), expected);
}
