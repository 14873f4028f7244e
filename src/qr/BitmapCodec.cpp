#include "qr/BitmapCodec.h"

#include "qr/PictureLimits.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstring>

namespace kodrix::bitmap {
namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr qsizetype kInfoHeaderSize = 40;
constexpr qsizetype kCoreHeaderSize = 12;

enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, Jpeg = 4, Png = 5, AlphaBitFields = 6 };

std::uint32_t get16(const QByteArray &bytes, qsizetype at) {
    return static_cast<std::uint8_t>(bytes[at]) | (std::uint32_t{static_cast<std::uint8_t>(bytes[at + 1])} << 8);
}
std::uint32_t get32(const QByteArray &bytes, qsizetype at) { return get16(bytes, at) | (get16(bytes, at + 2) << 16); }

void put16(char *at, std::uint32_t value) {
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>((value >> 8) & 0xFF);
}
void put32(char *at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

// BITMAPINFOHEADER and the later headers that begin like it.
bool knownInfoHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// What the headers say, checked against the file before Qt reads the pixels.
DecodeError checkHeaders(const QByteArray &bytes) {
    if (bytes.size() < kFileHeaderSize + kCoreHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return DecodeError::Broken;
    const std::uint32_t pixelOffset = get32(bytes, 10);
    const std::uint32_t infoSize = get32(bytes, kFileHeaderSize);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = Rgb;
    if (infoSize == kCoreHeaderSize) {
        width = get16(bytes, kFileHeaderSize + 4);
        height = get16(bytes, kFileHeaderSize + 6);
        bitsPerPixel = get16(bytes, kFileHeaderSize + 10);
    } else if (knownInfoHeaderSize(infoSize)) {
        if (bytes.size() < kFileHeaderSize + kInfoHeaderSize)
            return DecodeError::Truncated;
        width = static_cast<std::int32_t>(get32(bytes, kFileHeaderSize + 4));
        height = static_cast<std::int32_t>(get32(bytes, kFileHeaderSize + 8));
        bitsPerPixel = get16(bytes, kFileHeaderSize + 14);
        compression = get32(bytes, kFileHeaderSize + 16);
    } else {
        return DecodeError::Broken;
    }
    if (height < 0)
        height = -height; // rows top-down
    if (width <= 0 || height == 0)
        return DecodeError::Broken;
    if (!pictureSizeAllowed(width, height))
        return DecodeError::TooLarge;
    if (pixelOffset > bytes.size())
        return DecodeError::Truncated;
    if (compression == Rgb || compression == BitFields || compression == AlphaBitFields) {
        if (bitsPerPixel == 0 || bitsPerPixel > 32)
            return DecodeError::Broken;
        const std::int64_t stride = ((width * bitsPerPixel + 31) / 32) * 4;
        if (bytes.size() - pixelOffset < stride * height)
            return DecodeError::Truncated;
    }
    return DecodeError::None;
}

} // namespace

Decoded decode(const QByteArray &bytes) {
    Decoded result;
    result.error = checkHeaders(bytes);
    if (result.error != DecodeError::None)
        return result;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        result.error = reader.error() == QImageReader::InvalidDataError || reader.error() == QImageReader::UnknownError
                           ? DecodeError::Broken
                           : DecodeError::NoMemory;
        return result;
    }
    result.picture = picture.format() == QImage::Format_RGB32 ? std::move(picture)
                                                               : picture.convertToFormat(QImage::Format_RGB32);
    if (result.picture.isNull())
        result.error = DecodeError::NoMemory;
    return result;
}

QByteArray encode(const QImage &source) {
    if (source.isNull())
        return {};
    const QImage picture = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                               ? source
                               : source.convertToFormat(QImage::Format_RGB32);
    const int width = picture.width();
    const int height = picture.height();
    const qsizetype stride = (static_cast<qsizetype>(width) * 3 + 3) & ~qsizetype{3};
    const qsizetype pixelOffset = kFileHeaderSize + kInfoHeaderSize;
    QByteArray bytes(pixelOffset + stride * height, '\0');
    char *out = bytes.data();

    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, static_cast<std::uint32_t>(bytes.size()));
    put32(out + 10, static_cast<std::uint32_t>(pixelOffset));
    char *info = out + kFileHeaderSize;
    put32(info, kInfoHeaderSize);
    put32(info + 4, static_cast<std::uint32_t>(width));
    put32(info + 8, static_cast<std::uint32_t>(height)); // positive: bottom-up
    put16(info + 12, 1);
    put16(info + 14, 24);
    put32(info + 16, Rgb);
    put32(info + 20, static_cast<std::uint32_t>(stride * height));
    put32(info + 24, 2835); // 72 dpi
    put32(info + 28, 2835);

    for (int y = 0; y < height; ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        auto *row = reinterpret_cast<unsigned char *>(out + pixelOffset + stride * (height - 1 - y));
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<unsigned char>(qBlue(pixels[x]));
            row[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
            row[3 * x + 2] = static_cast<unsigned char>(qRed(pixels[x]));
        }
    }
    return bytes;
}

} // namespace kodrix::bitmap
