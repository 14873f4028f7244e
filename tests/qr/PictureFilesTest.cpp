#include "qr/PictureFiles.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>
#include <QSet>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace kodrix {
namespace {

using test::TempFolder;

QImage randomPicture(int width, int height, quint32 seed) {
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    return picture;
}

// A 29 × 29 pattern of black and white modules.
QImage twoColourCode() {
    QImage code(29, 29, QImage::Format_RGB32);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 29; ++x)
            code.setPixel(x, y, (x * 7 + y * 13) % 3 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return code;
}

QSet<QRgb> coloursOf(const QImage &picture) {
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    return colours;
}

bool samePixels(const QImage &a, const QImage &b) {
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// A JPEG written by libjpeg itself from raw samples, for the colour spaces we must read.
QByteArray rawJpeg(int width, int height, J_COLOR_SPACE space, int components, const std::vector<JSAMPLE> &samples) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPLE *>(samples.data() + info.next_scanline * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

struct JpegHeader {
    std::vector<int> markers; // every marker before the scan
    int components = 0;
    int precision = 0;
    std::vector<int> sampling; // h << 4 | v per component
    std::vector<int> luminanceTable; // natural order
};

JpegHeader readJpegHeader(const QByteArray &bytes) {
    JpegHeader header;
    for (qsizetype at = 2; at + 4 <= bytes.size() && static_cast<uchar>(bytes[at]) == 0xFF;) {
        const int marker = static_cast<uchar>(bytes[at + 1]);
        header.markers.push_back(marker);
        if (marker == 0xDA)
            break;
        at += 2 + (static_cast<uchar>(bytes[at + 2]) << 8 | static_cast<uchar>(bytes[at + 3]));
    }
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size());
    jpeg_read_header(&info, TRUE);
    header.components = info.num_components;
    header.precision = info.data_precision;
    for (int c = 0; c < info.num_components; ++c)
        header.sampling.push_back(info.comp_info[c].h_samp_factor << 4 | info.comp_info[c].v_samp_factor);
    for (int i = 0; i < DCTSIZE2; ++i)
        header.luminanceTable.push_back(info.quant_tbl_ptrs[0]->quantval[i]);
    jpeg_destroy_decompress(&info);
    return header;
}

TEST(PictureFiles, KindIsTheLastThreeLettersInAnyCase) {
    const std::vector<std::pair<QString, PictureKind>> cases = {
        {"a.jpg", PictureKind::Jpeg},     {"a.JPG", PictureKind::Jpeg},      {"a.Jpg", PictureKind::Jpeg},
        {"图片/照片.jPg", PictureKind::Jpeg}, {"a.bmp", PictureKind::Bitmap},  {"A.BMP", PictureKind::Bitmap},
        {"a.jpeg", PictureKind::None},    {"a.png", PictureKind::None},      {"a.jpg.txt", PictureKind::None},
        {"jpg", PictureKind::Jpeg},       {"pg", PictureKind::None},         {"", PictureKind::None},
    };
    for (const auto &[path, kind] : cases)
        EXPECT_EQ(pictureKindOf(path), kind) << path.toStdString();
}

TEST(PictureFiles, LoadpicReadsOnlyJpgAndBmpNames) {
    const TempFolder folder;
    const QImage picture = randomPicture(40, 30, 1);
    const QByteArray jpeg = encodeJpeg(picture);
    const struct {
        const char *name;
        QSize size;
    } cases[] = {{"a.jpg", {40, 30}}, {"a.JPG", {40, 30}}, {"a.Jpg", {40, 30}}, {"a.jpeg", {0, 0}}, {"a.png", {0, 0}}};
    for (const auto &c : cases) {
        folder.write(c.name, jpeg);
        const Result<QImage> loaded = loadpic(folder.file(c.name));
        ASSERT_TRUE(loaded.ok()) << c.name << ": " << loaded.error().toStdString();
        EXPECT_EQ(loaded->size(), c.size) << c.name;
    }
    const Result<QImage> missingPng = loadpic(folder.file("不存在.png"));
    ASSERT_TRUE(missingPng.ok()) << "a name of no picture kind never touches the file";
    EXPECT_TRUE(missingPng->isNull());
}

TEST(PictureFiles, SavepicWritesTheKindOfItsPictureType) {
    const QImage picture = randomPicture(20, 10, 2);
    const struct {
        const char *type;
        const char *signature; // nullptr: nothing is written
    } cases[] = {{".jpg", "\xFF\xD8\xFF"}, {".JPG", "\xFF\xD8\xFF"}, {".Bmp", "BM"}, {".BMP", "BM"},
                 {".PNG", nullptr},        {"", nullptr},            {".JPEG", nullptr}};
    for (const auto &c : cases) {
        const TempFolder folder;
        const Status saved = savepic(folder.path(), QStringLiteral("编号 1"), picture, c.type);
        const QStringList written = QDir(folder.path()).entryList(QDir::Files);
        if (c.signature) {
            ASSERT_TRUE(saved.ok()) << c.type << ": " << saved.error().toStdString();
            EXPECT_EQ(written, QStringList{QStringLiteral("编号 1") + c.type});
            EXPECT_TRUE(folder.read(written.value(0)).startsWith(c.signature)) << c.type;
        } else {
            EXPECT_FALSE(saved.ok()) << c.type;
            EXPECT_TRUE(written.isEmpty()) << c.type;
        }
    }
}

TEST(PictureFiles, SavepicIntoAMissingFolderFails) {
    const TempFolder folder;
    const Status saved = savepic(folder.file("没有/"), "a", randomPicture(4, 4, 3), ".BMP");
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().contains(folder.file("没有/a.BMP")));
}

TEST(PictureFiles, JpegIsBaselineQuality90TwentyFourBitWithoutChromaSubsampling) {
    const JpegHeader header = readJpegHeader(encodeJpeg(randomPicture(48, 32, 4)));
    EXPECT_NE(std::find(header.markers.begin(), header.markers.end(), 0xC0), header.markers.end()) << "SOF0";
    EXPECT_EQ(std::find(header.markers.begin(), header.markers.end(), 0xC2), header.markers.end()) << "progressive";
    EXPECT_EQ(header.components, 3);
    EXPECT_EQ(header.precision, 8);
    EXPECT_EQ(header.sampling, (std::vector<int>{0x11, 0x11, 0x11}));

    // The standard luminance table scaled for quality 90 (factor 20 %).
    const int standard[DCTSIZE2] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    std::vector<int> expected;
    for (int value : standard)
        expected.push_back(std::max(1, (value * 20 + 50) / 100));
    EXPECT_EQ(header.luminanceTable, expected);
}

TEST(PictureFiles, JpegKeepsAOnePixelColouredLineSharp) {
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 32; ++y)
        picture.setPixel(13, y, qRgb(220, 0, 0));
    const TempFolder folder;
    ASSERT_TRUE(savepic(folder.path(), "line", picture, ".JPG").ok());
    const Result<QImage> loaded = loadpic(folder.file("line.JPG"));
    ASSERT_TRUE(loaded.ok());
    for (int y = 4; y < 28; y += 8) {
        const QRgb line = loaded->pixel(13, y);
        EXPECT_GT(qRed(line), 170) << y;
        EXPECT_LT(qGreen(line), 60) << y;
        EXPECT_LT(qBlue(line), 60) << y;
        EXPECT_GT(qGreen(loaded->pixel(15, y)), 200) << "the white beside it stays white";
    }
}

TEST(PictureFiles, ReadsGreyAndCmykJpegs) {
    const TempFolder folder;
    folder.write("grey.jpg", rawJpeg(16, 16, JCS_GRAYSCALE, 1, std::vector<JSAMPLE>(16 * 16, 90)));
    // Adobe CMYK stores ink inverted: full magenta and yellow, no cyan or black, is red.
    std::vector<JSAMPLE> red;
    for (int i = 0; i < 16 * 16; ++i)
        red.insert(red.end(), {255, 0, 0, 255});
    folder.write("cmyk.jpg", rawJpeg(16, 16, JCS_CMYK, 4, red));

    const Result<QImage> grey = loadpic(folder.file("grey.jpg"));
    ASSERT_TRUE(grey.ok()) << grey.error().toStdString();
    EXPECT_EQ(grey->format(), QImage::Format_RGB32);
    EXPECT_NEAR(qRed(grey->pixel(8, 8)), 90, 2);
    EXPECT_NEAR(qBlue(grey->pixel(8, 8)), 90, 2);

    const Result<QImage> cmyk = loadpic(folder.file("cmyk.jpg"));
    ASSERT_TRUE(cmyk.ok()) << cmyk.error().toStdString();
    EXPECT_GT(qRed(cmyk->pixel(8, 8)), 240);
    EXPECT_LT(qGreen(cmyk->pixel(8, 8)), 15);
    EXPECT_LT(qBlue(cmyk->pixel(8, 8)), 15);
}

// A valid 24-bit bitmap of 4 × 2 with its header fields patched.
QByteArray patchedBitmap(int at, qint32 value) {
    QByteArray bytes = encodeBitmap(randomPicture(4, 2, 5));
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

TEST(PictureFiles, BrokenTruncatedAndHugeFilesAreErrors) {
    const QByteArray jpeg = encodeJpeg(randomPicture(64, 64, 6));
    QByteArray hugeJpeg = jpeg;
    const qsizetype sof = hugeJpeg.indexOf("\xFF\xC0");
    hugeJpeg[sof + 5] = hugeJpeg[sof + 7] = '\xFF'; // 65 500 × 65 500
    hugeJpeg[sof + 6] = hugeJpeg[sof + 8] = '\xDC';
    const QByteArray bitmap = encodeBitmap(randomPicture(30, 20, 7));

    const struct {
        const char *name;
        QByteArray bytes;
        const char *says; // a word of the message
    } cases[] = {
        {"empty.jpg", {}, "有效"},
        {"text.jpg", "this is no picture", "有效"},
        {"header only.jpg", jpeg.left(2), "有效"},
        {"truncated.jpg", jpeg.left(jpeg.size() / 2), "不完整"},
        {"huge.jpg", hugeJpeg, "尺寸过大"},
        {"empty.bmp", {}, "有效"},
        {"text.bmp", "BM this is no picture at all, only text", "有效"},
        {"truncated.bmp", bitmap.left(bitmap.size() - 10), "不完整"},
        {"headers only.bmp", bitmap.left(54), "不完整"},
        {"huge.bmp", patchedBitmap(18, 100000).replace(22, 4, QByteArray("\xA0\x86\x01\x00", 4)), "尺寸过大"},
        {"zero width.bmp", patchedBitmap(18, 0), "有效"},
        {"bad header size.bmp", patchedBitmap(14, 20), "有效"},
    };
    const TempFolder folder;
    for (const auto &c : cases) {
        folder.write(c.name, c.bytes);
        const Result<QImage> loaded = loadpic(folder.file(c.name));
        ASSERT_FALSE(loaded.ok()) << c.name;
        EXPECT_TRUE(loaded.error().contains(folder.file(c.name))) << loaded.error().toStdString();
        EXPECT_TRUE(loaded.error().contains(QString::fromUtf8(c.says))) << loaded.error().toStdString();
    }
    for (const char *missing : {"missing.jpg", "missing.BMP"}) {
        const Result<QImage> loaded = loadpic(folder.file(missing));
        ASSERT_FALSE(loaded.ok());
        EXPECT_TRUE(loaded.error().contains(folder.file(missing)));
    }
}

TEST(PictureFiles, BitmapsRoundTripExactly) {
    const TempFolder folder;
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(3, 2), QSize(5, 7), QSize(29, 29)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage picture = randomPicture(size.width(), size.height(), size.width() * 100 + size.height());
        const QByteArray bytes = encodeBitmap(picture);
        const int stride = (size.width() * 3 + 3) / 4 * 4;
        ASSERT_EQ(bytes.size(), 54 + stride * size.height());
        EXPECT_EQ(bytes[28], 24) << "bits per pixel";
        EXPECT_EQ(bytes.mid(30, 4), QByteArray(4, '\0')) << "uncompressed";

        ASSERT_TRUE(savepic(folder.path(), "p", picture, ".BMP").ok());
        const Result<QImage> loaded = loadpic(folder.file("p.BMP"));
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        EXPECT_TRUE(samePixels(*loaded, picture));
        EXPECT_EQ(encodeBitmap(*loaded), bytes);
    }
}

TEST(PictureFiles, ReadsTopDownAndPaletteBitmaps) {
    const TempFolder folder;
    const QImage picture = randomPicture(6, 4, 8);
    // The same rows stored top-down: a negative height and the rows in reading order.
    const QByteArray bottomUp = encodeBitmap(picture);
    QByteArray topDown = bottomUp.left(54);
    const int stride = 20;
    for (int row = 3; row >= 0; --row)
        topDown += bottomUp.mid(54 + row * stride, stride);
    topDown.replace(22, 4, QByteArray("\xFC\xFF\xFF\xFF", 4));
    folder.write("top down.bmp", topDown);

    QImage palette(7, 3, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            palette.setPixel(x, y, (x + y) % 2);
    ASSERT_TRUE(palette.save(folder.file("palette.bmp"), "BMP"));

    const Result<QImage> readTopDown = loadpic(folder.file("top down.bmp"));
    ASSERT_TRUE(readTopDown.ok()) << readTopDown.error().toStdString();
    EXPECT_TRUE(samePixels(*readTopDown, picture));
    const Result<QImage> readPalette = loadpic(folder.file("palette.bmp"));
    ASSERT_TRUE(readPalette.ok()) << readPalette.error().toStdString();
    EXPECT_TRUE(samePixels(*readPalette, palette));
}

TEST(PictureFiles, StretchingRepeatsAndDropsPixelsWithoutBlending) {
    const QImage code = twoColourCode();
    const Result<QImage> large = stretchPicture(code, 300, 300);
    ASSERT_TRUE(large.ok());
    EXPECT_EQ(large->size(), QSize(300, 300));
    EXPECT_EQ(coloursOf(*large), coloursOf(code));
    EXPECT_EQ(large->pixel(0, 0), code.pixel(0, 0));
    EXPECT_EQ(large->pixel(299, 299), code.pixel(28, 28));
    const Result<QImage> back = stretchPicture(*large, 29, 29);
    ASSERT_TRUE(back.ok());
    EXPECT_TRUE(samePixels(*back, code)) << "each module is one block of pixels";

    const QImage colourful = randomPicture(37, 23, 9);
    const Result<QImage> same = stretchPicture(colourful, 37, 23);
    ASSERT_TRUE(same.ok());
    EXPECT_TRUE(samePixels(*same, colourful));

    const Result<QImage> fromGrey = stretchPicture(code.convertToFormat(QImage::Format_Grayscale8), 58, 87);
    ASSERT_TRUE(fromGrey.ok());
    EXPECT_EQ(coloursOf(*fromGrey), coloursOf(code));
}

TEST(PictureFiles, StretchingToNoSizeOrFromNothingIsAnError) {
    const QImage code = twoColourCode();
    for (const QSize size : {QSize(0, 300), QSize(300, 0), QSize(0, 0), QSize(-5, 10), QSize(100000, 100000)})
        EXPECT_FALSE(stretchPicture(code, size.width(), size.height()).ok()) << size.width() << "x" << size.height();
    EXPECT_FALSE(stretchPicture(QImage(), 10, 10).ok());
}

TEST(PictureFiles, StretchFilesRewriteABitmapInPlace) {
    const TempFolder folder;
    ASSERT_TRUE(savepic(folder.path(), "QRCode", twoColourCode(), ".bmp").ok());
    const QString path = folder.file("QRCode.bmp");
    const QByteArray before = folder.read("QRCode.bmp");

    EXPECT_FALSE(stretchBitmapFile(path, path, 0, 300).ok());
    EXPECT_EQ(folder.read("QRCode.bmp"), before) << "a failed rescaling leaves the file alone";

    ASSERT_TRUE(stretchBitmapFile(path, path, 300, 200).ok());
    const Result<QImage> stretched = loadpic(path);
    ASSERT_TRUE(stretched.ok());
    EXPECT_EQ(stretched->size(), QSize(300, 200));
    EXPECT_EQ(coloursOf(*stretched), coloursOf(twoColourCode()));
    EXPECT_FALSE(stretchBitmapFile(folder.file("missing.bmp"), folder.file("out.bmp"), 10, 10).ok());
    EXPECT_FALSE(QFile::exists(folder.file("out.bmp")));
}

TEST(PictureFiles, StretchPictureFileAlsoTakesJpegs) {
    const TempFolder folder;
    ASSERT_TRUE(savepic(folder.path(), "logo", randomPicture(50, 40, 10), ".JPG").ok());
    EXPECT_FALSE(stretchBitmapFile(folder.file("logo.JPG"), folder.file("a.bmp"), 25, 20).ok())
        << "the bitmap form takes bitmaps only";
    ASSERT_TRUE(stretchPictureFile(folder.file("logo.JPG"), folder.file("b.bmp"), 25, 20).ok());
    EXPECT_TRUE(folder.read("b.bmp").startsWith("BM"));

    folder.write("logo.png", "whatever");
    EXPECT_FALSE(stretchPictureFile(folder.file("logo.png"), folder.file("c.bmp"), 25, 20).ok());
}

} // namespace
} // namespace kodrix
