// The layout behind PtImageRecord, shared by PtQREncode.dll (which fills it) and
// PtImageRW.dll (which prepares, writes and frees it). Private to the two modules.
#pragma once

#include "PtModules.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace pt {

// Written by PtInitImage; a record without it was never prepared.
inline constexpr std::uint32_t kImageMagic = 0x474D4950u; // "PIMG"
inline constexpr int kMaxImageSide = 16384;

// A grey image, one byte per pixel: 0 is a dark module, 255 light. Pixels come from
// malloc so that either module may release them.
struct ImageData {
    std::uint32_t magic;
    std::int32_t width;
    std::int32_t height;
    std::uint8_t *pixels;
};
static_assert(sizeof(ImageData) <= sizeof(PtImageRecord), "image data fits the record");
static_assert(alignof(ImageData) <= alignof(PtImageRecord), "record is aligned for the data");

inline ImageData *imageOf(PtImageRecord *record) {
    return record ? std::launder(reinterpret_cast<ImageData *>(record->storage.bytes)) : nullptr;
}
inline const ImageData *imageOf(const PtImageRecord *record) {
    return record ? std::launder(reinterpret_cast<const ImageData *>(record->storage.bytes)) : nullptr;
}
inline bool isPrepared(const ImageData *image) { return image && image->magic == kImageMagic; }

// Replaces the pixels of a prepared image by a fresh buffer of the given size, filled
// with `fill`. Returns false (and leaves the image empty) when memory runs out.
inline bool allocatePixels(ImageData *image, int width, int height, std::uint8_t fill) {
    std::free(image->pixels);
    image->pixels = nullptr;
    image->width = image->height = 0;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto *pixels = static_cast<std::uint8_t *>(std::malloc(count));
    if (!pixels)
        return false;
    std::memset(pixels, fill, count);
    image->pixels = pixels;
    image->width = width;
    image->height = height;
    return true;
}

} // namespace pt
