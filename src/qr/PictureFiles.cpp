#include "qr/PictureFiles.h"

#include "qr/BitmapCodec.h"
#include "qr/JpegCodec.h"
#include "qr/PictureLimits.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>
#include <vector>

namespace kodrix {
namespace {

// Files larger than this are no pictures the program can use.
constexpr qint64 kMaxPictureFileBytes = 512LL * 1024 * 1024;

template <typename Error> QString readFailure(const QString &path, Error error) {
    switch (error) {
    case Error::Truncated:
        return QStringLiteral("%1不完整，可能已损坏，无法读取。").arg(path);
    case Error::TooLarge:
        return QStringLiteral("%1的尺寸过大，无法读取。").arg(path);
    case Error::NoMemory:
        return QStringLiteral("内存不足，无法读取%1。").arg(path);
    default:
        return QStringLiteral("%1不是有效的图片文件，可能已损坏，无法读取。").arg(path);
    }
}

Result<QByteArray> readWholeFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(QStringLiteral("%1无法打开，请检查文件是否存在。").arg(path));
    if (file.size() > kMaxPictureFileBytes)
        return Result<QByteArray>::failure(QStringLiteral("%1的文件过大，无法读取。").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QByteArray>::failure(QStringLiteral("%1无法读取。").arg(path));
    return bytes;
}

template <typename Codec> Result<QImage> readWith(const QString &path, Codec decode) {
    Result<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return Result<QImage>::failure(bytes.error());
    auto decoded = decode(*bytes);
    if (decoded.error != decltype(decoded.error)::None)
        return Result<QImage>::failure(readFailure(path, decoded.error));
    return std::move(decoded.picture);
}

Result<QImage> readBitmapFile(const QString &path) { return readWith(path, bitmap::decode); }

Status writeWholeFile(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure(QStringLiteral("%1无法写入，请检查文件夹是否存在、是否有写入权限。").arg(path));
    return {};
}

Status stretchFile(const Result<QImage> &source, const QString &target, int width, int height) {
    if (!source)
        return Status::failure(source.error());
    const Result<QImage> stretched = stretchPicture(*source, width, height);
    if (!stretched)
        return Status::failure(stretched.error());
    return writeWholeFile(target, encodeBitmap(*stretched));
}

} // namespace

PictureKind pictureKindOf(const QString &path) {
    const QString ending = path.right(3).toUpper();
    if (ending == QLatin1String("JPG"))
        return PictureKind::Jpeg;
    if (ending == QLatin1String("BMP"))
        return PictureKind::Bitmap;
    return PictureKind::None;
}

Result<QImage> loadpic(const QString &path) {
    switch (pictureKindOf(path)) {
    case PictureKind::Jpeg:
        return readWith(path, jpeg::decode);
    case PictureKind::Bitmap:
        return readBitmapFile(path);
    case PictureKind::None:
        break;
    }
    return QImage();
}

Status savepic(const QString &folder, const QString &fileName, const QImage &picture, const QString &pictureType) {
    const QString path = folder + fileName + pictureType;
    const QString type = pictureType.toUpper();
    if (type != QLatin1String(".JPG") && type != QLatin1String(".BMP"))
        return Status::failure(QStringLiteral("不支持的图片类型%1，只能保存为.JPG或.BMP。").arg(pictureType));
    if (picture.isNull())
        return Status::failure(QStringLiteral("图片为空，无法保存%1。").arg(path));
    const QByteArray bytes = type == QLatin1String(".JPG") ? encodeJpeg(picture) : encodeBitmap(picture);
    if (bytes.isEmpty())
        return Status::failure(QStringLiteral("内存不足，无法保存%1。").arg(path));
    return writeWholeFile(path, bytes);
}

Result<QImage> stretchPicture(const QImage &source, int width, int height) {
    if (width <= 0 || height <= 0)
        return Result<QImage>::failure(
            QStringLiteral("图片缩放失败：宽度和高度必须大于0（现为%1 × %2）。").arg(width).arg(height));
    if (!pictureSizeAllowed(width, height))
        return Result<QImage>::failure(
            QStringLiteral("图片缩放失败：%1 × %2的尺寸过大。").arg(width).arg(height));
    if (source.isNull())
        return Result<QImage>::failure(QStringLiteral("图片缩放失败：图片为空。"));

    const QImage rgb = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull() || rgb.isNull())
        return Result<QImage>::failure(QStringLiteral("图片缩放失败：内存不足。"));

    // Each target pixel takes the source pixel under its centre: rows and columns are
    // repeated or dropped, never blended.
    const std::int64_t sourceWidth = rgb.width();
    const std::int64_t sourceHeight = rgb.height();
    std::vector<int> column(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        column[x] = static_cast<int>((2 * x + 1) * sourceWidth / (2 * std::int64_t{width}));

    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    int previousRow = -1;
    for (int y = 0; y < height; ++y) {
        const int sourceRow = static_cast<int>((2 * y + 1) * sourceHeight / (2 * std::int64_t{height}));
        auto *target = reinterpret_cast<QRgb *>(out.scanLine(y));
        if (sourceRow == previousRow) {
            std::memcpy(target, out.constScanLine(y - 1), rowBytes);
            continue;
        }
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(sourceRow));
        for (int x = 0; x < width; ++x)
            target[x] = line[column[x]];
        previousRow = sourceRow;
    }
    return out;
}

Status stretchBitmapFile(const QString &source, const QString &target, int width, int height) {
    return stretchFile(readBitmapFile(source), target, width, height);
}

Status stretchPictureFile(const QString &source, const QString &target, int width, int height) {
    const Result<QImage> picture = loadpic(source);
    if (picture && picture->isNull())
        return Status::failure(QStringLiteral("%1不是.JPG或.BMP图片，无法缩放。").arg(source));
    return stretchFile(picture, target, width, height);
}

QByteArray encodeJpeg(const QImage &picture) { return jpeg::encode(picture); }

QByteArray encodeBitmap(const QImage &picture) { return bitmap::encode(picture); }

} // namespace kodrix
