// The encoder modules of the built program folder, driven through the binding; every code
// is read back with ZXing and compared byte for byte.
#include "qr/EncoderBinding.h"
#include "qr/PictureFiles.h"
#include "qr/QrDecode.h"

#include "support/TempFolder.h"

#include "PtModules.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>

#include <dlfcn.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kodrix {
namespace {

using test::TempFolder;

// The options the generation run passes.
constexpr std::uint16_t kRunOption1 = 0, kRunOption2 = 1, kRunOption3 = 0;

// The most bytes a version 40 symbol holds in 8-bit mode at level Q.
constexpr int kCapacityAtQ = 1663;

QByteArray utf8(const char *text) { return QByteArray(text); }

QByteArray repeatedTo(const QByteArray &unit, int size) {
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += unit;
    return bytes.left(size);
}

class Encoder : public testing::Test {
protected:
    void SetUp() override {
        Result<EncoderModules> loaded = EncoderModules::load(ProgramFolder(test::builtProgramFolder()));
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        modules_.emplace(std::move(loaded).value());
    }

    // Encodes with the run's options and reads the picture back.
    QImage encode(const QByteArray &bytes, const QString &path) const {
        QFile::remove(path);
        const Status status = modules_->encodeToFile(bytes, kRunOption1, kRunOption2, kRunOption3, path);
        EXPECT_TRUE(status.ok()) << status.error().toStdString();
        const Result<QImage> picture = loadpic(path);
        EXPECT_TRUE(picture.ok()) << picture.error().toStdString();
        return picture.ok() ? *picture : QImage();
    }

    std::optional<EncoderModules> modules_;
    TempFolder folder_;
};

TEST_F(Encoder, CodesCarryExactlyTheGivenBytes) {
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"ASCII", utf8("Hello, Kodrix 123")},
        {"Chinese", utf8("Velquen二维码生成软件：批量生成，打印")},
        {"emoji", utf8("打卡 😀🎉 done")},
        {"escaped separators", utf8("WIFI:S:my\\;net;T:WPA;P:p\\:a\\,s\\\\s\\\";;")},
        {"CR LF", utf8("第一行\r\n第二行\r\nthird\r\n")},
        {"single byte", utf8("x")},
        {"digits only", utf8("0123456789012345")},
        {"bytes that are not UTF-8", QByteArray("\xB6\xFE\xCE\xAC\xC2\xEB \xFF\x80\x01\x7F", 11)},
        {"long text near capacity", repeatedTo(utf8("名片 BEGIN:VCARD;N:张三;TEL:13800138000\r\n"), kCapacityAtQ - 3)},
        {"text at capacity", repeatedTo(utf8("abc😀"), kCapacityAtQ)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder_.file(QStringLiteral("QRCode.bmp"));
        const QImage picture = encode(c.bytes, path);
        ASSERT_FALSE(picture.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours.insert(picture.pixel(x, y));
        EXPECT_EQ(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        const Result<QByteArray> decoded = decodeQrBytes(picture);
        ASSERT_TRUE(decoded.ok()) << decoded.error().toStdString();
        EXPECT_EQ(*decoded, c.bytes);

        const Result<QImage> inMemory = modules_->encodeToPicture(c.bytes, kRunOption1, kRunOption2, kRunOption3);
        ASSERT_TRUE(inMemory.ok()) << inMemory.error().toStdString();
        EXPECT_EQ(*inMemory, picture) << "the same picture as the file holds";
    }
}

TEST_F(Encoder, QuietZoneIsFourWhiteModules) {
    const QImage picture = encode(utf8("quiet zone"), folder_.file("q.bmp"));
    ASSERT_EQ(picture.width(), 21 + 8) << "version 1, one pixel per module";
    for (int i = 0; i < picture.width(); ++i)
        for (int ring = 0; ring < 4; ++ring) {
            const int far = picture.width() - 1 - ring;
            EXPECT_EQ(picture.pixel(i, ring), qRgb(255, 255, 255));
            EXPECT_EQ(picture.pixel(i, far), qRgb(255, 255, 255));
            EXPECT_EQ(picture.pixel(ring, i), qRgb(255, 255, 255));
            EXPECT_EQ(picture.pixel(far, i), qRgb(255, 255, 255));
        }
    EXPECT_EQ(picture.pixel(4, 4), qRgb(0, 0, 0)) << "the finder pattern starts right inside it";
}

TEST_F(Encoder, OptionWordsChooseVersionAndModuleSize) {
    const struct {
        std::uint16_t option1, option2, option3;
        int side;
    } cases[] = {
        {0, 1, 0, 29},           // smallest version that fits, one pixel per module
        {0, 1, 4, 29 * 4},       // four pixels per module
        {10, 1, 0, 17 + 40 + 8}, // at least version 10
        {0, 0, 0, 29},
        {0, 2, 3, 29 * 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.option1 << "," << c.option2 << "," << c.option3);
        const QString path = folder_.file("o.bmp");
        ASSERT_TRUE(modules_->encodeToFile("abc", c.option1, c.option2, c.option3, path).ok());
        const Result<QImage> picture = loadpic(path);
        ASSERT_TRUE(picture.ok());
        EXPECT_EQ(picture->size(), QSize(c.side, c.side));
        const Result<QByteArray> decoded = decodeQrBytes(*picture);
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(*decoded, "abc");
    }
}

TEST_F(Encoder, FailuresLeaveNoFile) {
    const struct {
        const char *what;
        QByteArray bytes;
        std::uint16_t option1, option2, option3;
    } cases[] = {
        {"no bytes", {}, 0, 1, 0},
        {"one byte over capacity", repeatedTo("z", kCapacityAtQ + 1), 0, 1, 0},
        {"a zero byte inside", QByteArray("ab\0cd", 5), 0, 1, 0},
        {"version above 40", "abc", 41, 1, 0},
        {"unknown error-correction level", "abc", 0, 3, 0},
        {"too many pixels per module", "abc", 0, 1, 33},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder_.file("none.bmp");
        const Status status = modules_->encodeToFile(c.bytes, c.option1, c.option2, c.option3, path);
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.error().isEmpty());
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_FALSE(modules_->encodeToPicture(c.bytes, c.option1, c.option2, c.option3).ok());
    }
    const QString unwritable = folder_.file("没有这个文件夹/QRCode.bmp");
    const Status status = modules_->encodeToFile("abc", 0, 1, 0, unwritable);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains(unwritable));
}

// The run's options must keep a code readable once a logo covers its middle fifth.
TEST_F(Encoder, RunOptionsSurviveALogoOverTheMiddle) {
    const QByteArray text = utf8("二维码Kodrix名片电话网址邮箱短信0123456789abcdefghij");
    for (int length : {1, 8, 14, 17, 20, 24, 26, 40, 60, 120, 250}) {
        const QByteArray bytes = repeatedTo(text, length);
        const QImage code = encode(bytes, folder_.file("logo.bmp"));
        const Result<QImage> large = stretchPicture(code, 300, 300);
        ASSERT_TRUE(large.ok());
        for (const QColor logo : {QColor(Qt::black), QColor(Qt::white), QColor(200, 30, 30)}) {
            SCOPED_TRACE(testing::Message() << length << " bytes, logo " << logo.name().toStdString());
            QImage covered = *large;
            QPainter painter(&covered);
            painter.fillRect(QRect(120, 120, 60, 60), logo);
            painter.end();
            const Result<QByteArray> decoded = decodeQrBytes(covered);
            ASSERT_TRUE(decoded.ok()) << decoded.error().toStdString();
            EXPECT_EQ(*decoded, bytes);
        }
    }
}

TEST_F(Encoder, SeveralThreadsEncodeAtOnce) {
    constexpr int kThreads = 4, kEach = 15;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                const QByteArray bytes = QStringLiteral("线程%1 第%2个 %3").arg(t).arg(i).arg(QString(i * 7, 'x')).toUtf8();
                Result<QImage> picture = QImage();
                if (i % 2) {
                    picture = modules_->encodeToPicture(bytes, kRunOption1, kRunOption2, kRunOption3);
                } else {
                    const QString path = folder_.file(QStringLiteral("t%1-%2.bmp").arg(t).arg(i));
                    if (modules_->encodeToFile(bytes, kRunOption1, kRunOption2, kRunOption3, path).ok())
                        picture = loadpic(path);
                }
                const Result<QByteArray> decoded = picture && !picture->isNull() ? decodeQrBytes(*picture)
                                                                                 : Result<QByteArray>(QByteArray());
                if (!decoded || *decoded != bytes)
                    ++wrong;
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(EncodeQRToFile, LoadsEncodesAndUnloads) {
    const TempFolder folder;
    const QString path = folder.file("QRCode.bmp");
    const QByteArray bytes = utf8("单项文本 😀");
    const Status status = EncodeQRToFile(bytes, 0, 1, 0, path, ProgramFolder(test::builtProgramFolder()));
    ASSERT_TRUE(status.ok()) << status.error().toStdString();
    const Result<QImage> picture = loadpic(path);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(decodeQrBytes(*picture).value(), bytes);
}

TEST(EncodeQRToFile, MissingModulesOrEntryPointsAreClearErrors) {
    const QString built = test::builtProgramFolder();
    const struct {
        const char *what;
        std::vector<std::pair<QString, QString>> files; // copied from the built folder: from, as
        const char *named;
    } cases[] = {
        {"no modules", {}, "PtImageRW.dll"},
        {"no encoder module", {{"PtImageRW.dll", "PtImageRW.dll"}}, "PtQREncode.dll"},
        {"no image module", {{"PtQREncode.dll", "PtQREncode.dll"}}, "PtImageRW.dll"},
        {"encoder module without its entry points",
         {{"PtImageRW.dll", "PtImageRW.dll"}, {"PtImageRW.dll", "PtQREncode.dll"}},
         "PtQREncodeInit"},
        {"image module without its entry points",
         {{"PtQREncode.dll", "PtImageRW.dll"}, {"PtQREncode.dll", "PtQREncode.dll"}},
         "PtInitImage"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder folder;
        for (const auto &[from, as] : c.files)
            ASSERT_TRUE(QFile::copy(built + from, folder.file(as)));
        const QString path = folder.file("QRCode.bmp");
        const Status status = EncodeQRToFile("abc", 0, 1, 0, path, ProgramFolder(folder.path()));
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().contains(QString::fromLatin1(c.named))) << status.error().toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }

    const TempFolder folder;
    folder.write("PtImageRW.dll", "not a module");
    const Status broken = EncodeQRToFile("abc", 0, 1, 0, folder.file("QRCode.bmp"), ProgramFolder(folder.path()));
    ASSERT_FALSE(broken.ok());
    EXPECT_TRUE(broken.error().contains("PtImageRW.dll"));

    const Status noFolder = EncodeQRToFile("abc", 0, 1, 0, folder.file("QRCode.bmp"),
                                           ProgramFolder(folder.file("没有这个文件夹")));
    EXPECT_FALSE(noFolder.ok());
    EXPECT_FALSE(QFile::exists(folder.file("QRCode.bmp")));
}

// The modules on their own: what PtSaveImage writes, PtLoadImage reads back.
TEST(ImageModule, SavedBitmapsLoadBack) {
    const auto open = [](const char *name) {
        return dlopen(QFile::encodeName(test::builtProgramFolder() + name).constData(), RTLD_NOW | RTLD_LOCAL);
    };
    void *images = open("PtImageRW.dll");
    void *encoder = open("PtQREncode.dll");
    ASSERT_TRUE(images && encoder) << dlerror();
    const auto init = reinterpret_cast<PtInitImageFn>(dlsym(images, "PtInitImage"));
    const auto create = reinterpret_cast<PtCreateImageFn>(dlsym(images, "PtCreateImage"));
    const auto save = reinterpret_cast<PtSaveImageFn>(dlsym(images, "PtSaveImage"));
    const auto load = reinterpret_cast<PtLoadImageFn>(dlsym(images, "PtLoadImage"));
    const auto release = reinterpret_cast<PtFreeImageFn>(dlsym(images, "PtFreeImage"));
    const auto encodeText = reinterpret_cast<PtQREncodeToImageFn>(dlsym(encoder, "PtQREncodeToImage"));
    ASSERT_TRUE(init && create && save && load && release && encodeText);

    const TempFolder folder;
    const auto name = [&](const char *file) { return QFile::encodeName(folder.file(QString::fromUtf8(file))); };
    PtImageRecord image;
    init(&image);
    EXPECT_EQ(save(name("码 1.bmp").constData(), &image), 0) << "nothing to save yet";
    EXPECT_FALSE(QFile::exists(folder.file("码 1.bmp")));
    ASSERT_EQ(encodeText("模块 round trip", &image), PT_QR_OK);
    ASSERT_EQ(save(name("码 1.bmp").constData(), &image), 1);
    release(&image);

    init(&image);
    ASSERT_EQ(load(name("码 1.bmp").constData(), &image), 1);
    ASSERT_EQ(save(name("码 2.bmp").constData(), &image), 1);
    EXPECT_EQ(create(&image, 0, 3), 0);
    ASSERT_EQ(create(&image, 5, 3), 1);
    ASSERT_EQ(save(name("白.bmp").constData(), &image), 1);
    release(&image);
    EXPECT_EQ(folder.read("码 2.bmp"), folder.read("码 1.bmp"));
    const Result<QImage> read = loadpic(folder.file("码 2.bmp"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(decodeQrBytes(*read).value(), QByteArray("模块 round trip"));
    const Result<QImage> white = loadpic(folder.file("白.bmp"));
    ASSERT_TRUE(white.ok());
    EXPECT_EQ(white->size(), QSize(5, 3));
    EXPECT_EQ(white->pixel(4, 2), qRgb(255, 255, 255));

    folder.write("text.bmp", "BM but nothing else");
    init(&image);
    EXPECT_EQ(load(name("text.bmp").constData(), &image), 0);
    release(&image);
    dlclose(encoder);
    dlclose(images);
}

TEST(QrDecode, PicturesWithoutACodeAreErrors) {
    QImage blank(200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_FALSE(decodeQrBytes(blank).ok());
    EXPECT_FALSE(decodeQrBytes(QImage()).ok());
}

} // namespace
} // namespace kodrix
