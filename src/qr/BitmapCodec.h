#pragma once

#include "qr/DecodedPicture.h"

#include <QByteArray>
#include <QImage>

namespace kodrix::bitmap {

using DecodeError = PictureDecodeError;
using Decoded = DecodedPicture;

// Decodes a whole Windows bitmap file held in memory. The header is checked first: a
// picture too large to hold or pixel data shorter than the header promises is refused
// before any pixel is read.
Decoded decode(const QByteArray &bytes);

// An uncompressed 24-bit Windows bitmap (rows bottom-up). An empty picture gives no bytes.
QByteArray encode(const QImage &picture);

} // namespace kodrix::bitmap
