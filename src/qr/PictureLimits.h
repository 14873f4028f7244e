#pragma once

#include <cstdint>

namespace kodrix {

// The largest picture the program reads or makes: a side of 30,000 pixels and 50 million
// pixels in all (200 MB as 32-bit colour). Anything larger is refused before memory is taken.
inline constexpr std::int64_t kMaxPictureSide = 30000;
inline constexpr std::int64_t kMaxPicturePixels = 50'000'000;

inline bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

} // namespace kodrix
