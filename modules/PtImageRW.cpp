// PtImageRW.dll: the image record of the encoder and its Windows bitmap files.
#include "PtImageData.h"

#include <cstdio>
#include <memory>
#include <vector>

#define PT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

struct FileClose {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

std::size_t rowBytes(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }

void put16(unsigned char *at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
void put32(unsigned char *at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}
std::uint32_t get16(const unsigned char *at) { return at[0] | (std::uint32_t{at[1]} << 8); }
std::uint32_t get32(const unsigned char *at) { return get16(at) | (get16(at + 2) << 16); }

void writeHeaders(unsigned char *headers, int width, int height) {
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes(width) * height);
    headers[0] = 'B';
    headers[1] = 'M';
    put32(headers + 2, static_cast<std::uint32_t>(kHeadersSize) + imageSize);
    put32(headers + 6, 0);
    put32(headers + 10, static_cast<std::uint32_t>(kHeadersSize));
    unsigned char *info = headers + kFileHeaderSize;
    put32(info + 0, static_cast<std::uint32_t>(kInfoHeaderSize));
    put32(info + 4, static_cast<std::uint32_t>(width));
    put32(info + 8, static_cast<std::uint32_t>(height)); // positive: rows bottom-up
    put16(info + 12, 1);                                  // planes
    put16(info + 14, 24);                                 // bits per pixel
    put32(info + 16, 0);                                  // BI_RGB, uncompressed
    put32(info + 20, imageSize);
    put32(info + 24, 2835); // 72 dpi
    put32(info + 28, 2835);
    put32(info + 32, 0);
    put32(info + 36, 0);
}

bool writeBitmap(std::FILE *file, const pt::ImageData &image) {
    unsigned char headers[kHeadersSize];
    writeHeaders(headers, image.width, image.height);
    if (std::fwrite(headers, 1, sizeof headers, file) != sizeof headers)
        return false;
    std::vector<unsigned char> row(rowBytes(image.width), 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t *grey = image.pixels + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey[x];
        if (std::fwrite(row.data(), 1, row.size(), file) != row.size())
            return false;
    }
    return std::fflush(file) == 0;
}

std::vector<unsigned char> readWholeFile(const char *fileName) {
    std::vector<unsigned char> bytes;
    File file(std::fopen(fileName, "rb"));
    if (!file)
        return bytes;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    return bytes;
}

} // namespace

PT_EXPORT void PtInitImage(PtImageRecord *record) {
    if (record)
        new (record->storage.bytes) pt::ImageData{pt::kImageMagic, 0, 0, nullptr};
}

PT_EXPORT void PtFreeImage(PtImageRecord *record) {
    pt::ImageData *image = pt::imageOf(record);
    if (!pt::isPrepared(image))
        return;
    std::free(image->pixels);
    image->pixels = nullptr;
    image->width = image->height = 0;
}

PT_EXPORT int PtCreateImage(PtImageRecord *record, int width, int height) {
    pt::ImageData *image = pt::imageOf(record);
    if (!pt::isPrepared(image) || width < 1 || height < 1 || width > pt::kMaxImageSide ||
        height > pt::kMaxImageSide)
        return 0;
    return pt::allocatePixels(image, width, height, 255) ? 1 : 0;
}

PT_EXPORT int PtSaveImage(const char *fileName, const PtImageRecord *record) {
    const pt::ImageData *image = pt::imageOf(record);
    if (!fileName || !*fileName || !pt::isPrepared(image) || !image->pixels)
        return 0;
    File file(std::fopen(fileName, "wb"));
    if (!file)
        return 0;
    const bool written = writeBitmap(file.get(), *image);
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed)
        return 1;
    std::remove(fileName);
    return 0;
}

PT_EXPORT int PtShowImage(const PtImageRecord *, void *, int, int) { return 0; }

PT_EXPORT int PtLoadImage(const char *fileName, PtImageRecord *record) {
    pt::ImageData *image = pt::imageOf(record);
    if (!fileName || !pt::isPrepared(image))
        return 0;
    const std::vector<unsigned char> bytes = readWholeFile(fileName);
    if (bytes.size() < kHeadersSize || bytes[0] != 'B' || bytes[1] != 'M')
        return 0;
    const unsigned char *info = bytes.data() + kFileHeaderSize;
    const std::uint32_t offset = get32(bytes.data() + 10);
    const auto width = static_cast<std::int32_t>(get32(info + 4));
    const auto rawHeight = static_cast<std::int32_t>(get32(info + 8));
    if (get32(info) < kInfoHeaderSize || get16(info + 12) != 1 || get16(info + 14) != 24 ||
        get32(info + 16) != 0)
        return 0;
    const bool bottomUp = rawHeight > 0;
    const std::int64_t height = bottomUp ? rawHeight : -static_cast<std::int64_t>(rawHeight);
    if (width < 1 || height < 1 || width > pt::kMaxImageSide || height > pt::kMaxImageSide)
        return 0;
    const std::size_t stride = rowBytes(width);
    if (offset < kHeadersSize || offset > bytes.size() ||
        (bytes.size() - offset) / stride < static_cast<std::size_t>(height))
        return 0;
    if (!pt::allocatePixels(image, width, static_cast<int>(height), 255))
        return 0;
    for (int y = 0; y < height; ++y) {
        const std::int64_t fileRow = bottomUp ? height - 1 - y : y;
        const unsigned char *bgr = bytes.data() + offset + static_cast<std::size_t>(fileRow) * stride;
        std::uint8_t *grey = image->pixels + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x, bgr += 3)
            grey[x] = static_cast<std::uint8_t>((bgr[0] * 114 + bgr[1] * 587 + bgr[2] * 299 + 500) / 1000);
    }
    return 1;
}
