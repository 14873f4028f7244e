// Dense symbols rescaled with nearest-neighbour to the sizes a run uses: their modules end
// up 2 or 3 pixels wide, unevenly, which ZXing's own grid sampling misses at some sizes.
// Every size must still read back as exactly the encoded bytes.
#include "qr/EncoderBinding.h"
#include "qr/ModuleGrid.h"
#include "qr/PictureFiles.h"
#include "qr/PixelOps.h"
#include "qr/QrDecode.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QLinearGradient>
#include <QPainter>

#include <functional>
#include <optional>

namespace kodrix {
namespace {

// The options the generation run passes.
constexpr std::uint16_t kRunOption1 = 0, kRunOption2 = 1, kRunOption3 = 0;

QByteArray repeatedTo(const QByteArray &unit, int size) {
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += unit;
    return bytes.left(size);
}

const QByteArray kVcardUnit("BEGIN:VCARD\r\nVERSION:3.0\r\nN:张三丰;中文\r\nTEL:13800138000\r\n"
                            "EMAIL:zhang@example.com\r\nADR:;;北京市海淀区;;;\r\nEND:VCARD\r\n");

// How a rescaled code ends up in the picture a run writes.
struct Look {
    const char *name;
    std::function<QImage(const QImage &)> apply;
};

// The code recoloured and placed, off centre, on a larger light gradient.
QImage onBackground(const QImage &code, QRgb dark, QRgb light) {
    QImage coloured = asRgb32(code);
    paintBoth(coloured, dark, light);
    QImage picture(code.width() + 61, code.height() + 47, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient fill(0, 0, picture.width(), 0);
    fill.setColorAt(0, QColor(255, 255, 215));
    fill.setColorAt(1, QColor(215, 245, 255));
    painter.fillRect(picture.rect(), fill);
    painter.end();
    drawOpaque(picture, coloured, QPoint(37, 12));
    return picture;
}

const Look kLooks[] = {
    {"black on white", [](const QImage &code) { return code; }},
    {"dark red on a placed background",
     [](const QImage &code) { return onBackground(code, qRgb(110, 0, 0), qRgb(255, 255, 210)); }},
    {"light blue on a placed background",
     [](const QImage &code) { return onBackground(code, qRgb(60, 120, 200), qRgb(250, 250, 240)); }},
};

class QrDecodeDense : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Result<EncoderModules> loaded = EncoderModules::load(ProgramFolder(test::builtProgramFolder()));
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        modules_.emplace(std::move(loaded).value());
    }
    static void TearDownTestSuite() { modules_.reset(); }

    static std::optional<EncoderModules> modules_;
};

std::optional<EncoderModules> QrDecodeDense::modules_;

TEST_F(QrDecodeDense, EverySizeOfTheSweepReadsBackExactly) {
    // From about 73 up to about 133 modules a side.
    for (const int length : {270, 500, 760, 1000}) {
        const QByteArray bytes = repeatedTo(kVcardUnit, length);
        const Result<QImage> code = modules_->encodeToPicture(bytes, kRunOption1, kRunOption2, kRunOption3);
        ASSERT_TRUE(code.ok()) << code.error().toStdString();
        for (int size = 250; size <= 420; size += 7) {
            const Result<QImage> rescaled = stretchPicture(*code, size, size);
            ASSERT_TRUE(rescaled.ok()) << rescaled.error().toStdString();
            for (const Look &look : kLooks) {
                SCOPED_TRACE(testing::Message() << length << " bytes, " << code->width() << " pixels at one a module, "
                                                << size << " pixels, " << look.name);
                const Result<QByteArray> decoded = decodeQrBytes(look.apply(*rescaled));
                EXPECT_TRUE(decoded.ok() && *decoded == bytes) << (decoded.ok() ? "other bytes" : decoded.error().toStdString());
            }
        }
    }
}

TEST_F(QrDecodeDense, UnevenWidthAndHeightReadBack) {
    const QByteArray bytes = repeatedTo(kVcardUnit, 600);
    const Result<QImage> code = modules_->encodeToPicture(bytes, kRunOption1, kRunOption2, kRunOption3);
    ASSERT_TRUE(code.ok());
    for (const QSize size : {QSize(300, 333), QSize(351, 290), QSize(407, 260)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const Result<QImage> rescaled = stretchPicture(*code, size.width(), size.height());
        ASSERT_TRUE(rescaled.ok());
        const Result<QByteArray> decoded = decodeQrBytes(*rescaled);
        EXPECT_TRUE(decoded.ok() && *decoded == bytes) << (decoded.ok() ? "other bytes" : decoded.error().toStdString());
    }
}

// Redrawing a clean symbol of one pixel a module on its own grid reproduces it exactly.
TEST_F(QrDecodeDense, RedrawingACleanSymbolGivesItBack) {
    const Result<QImage> code = modules_->encodeToPicture(repeatedTo(kVcardUnit, 500), kRunOption1, kRunOption2, kRunOption3);
    ASSERT_TRUE(code.ok());
    const QImage grey = code->convertToFormat(QImage::Format_Grayscale8);
    const int threshold = darkThreshold(grey);
    const std::optional<QRect> box = darkBoundingBox(grey, threshold);
    ASSERT_TRUE(box.has_value());
    const int modules = grey.width() - 8;
    EXPECT_EQ(*box, QRect(4, 4, modules, modules));
    const std::vector<int> sides = candidateSides(grey, *box, threshold);
    ASSERT_FALSE(sides.empty());
    EXPECT_EQ(sides.front(), modules) << "the finder pattern gives the side away";
    EXPECT_EQ(redrawOnGrid(grey, *box, threshold, modules, 1), grey);
}

TEST(QrDecode, PicturesWithoutAReadableCodeAreErrors) {
    QImage checkerboard(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < checkerboard.height(); ++y)
        for (int x = 0; x < checkerboard.width(); ++x)
            checkerboard.setPixel(x, y, ((x / 3 + y / 3) % 2) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QImage square(300, 300, QImage::Format_RGB32);
    square.fill(Qt::white);
    QPainter painter(&square);
    painter.fillRect(QRect(40, 40, 200, 200), QColor(20, 20, 20));
    painter.end();
    QImage speck(300, 300, QImage::Format_RGB32);
    speck.fill(Qt::white);
    speck.setPixel(150, 150, qRgb(0, 0, 0));
    const struct {
        const char *what;
        QImage picture;
    } cases[] = {{"checkerboard", checkerboard}, {"dark square", square}, {"single dark pixel", speck}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(decodeQrBytes(c.picture).ok());
    }
}

} // namespace
} // namespace kodrix
