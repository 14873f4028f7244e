#pragma once

#include <QImage>

namespace kodrix {

// Why a picture file held in memory could not be decoded.
enum class PictureDecodeError { None, Broken, Truncated, TooLarge, NoMemory };

// The outcome of decoding one picture file held in memory.
struct DecodedPicture {
    QImage picture; // Format_RGB32
    PictureDecodeError error = PictureDecodeError::None;
};

} // namespace kodrix
