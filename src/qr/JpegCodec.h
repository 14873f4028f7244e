#pragma once

#include "qr/DecodedPicture.h"

#include <QByteArray>
#include <QImage>

namespace kodrix::jpeg {

using DecodeError = PictureDecodeError;
using Decoded = DecodedPicture;

// Decodes a whole JPEG file held in memory: colour, grayscale and CMYK/YCCK pictures.
// A file cut short is an error, not a picture padded with grey.
Decoded decode(const QByteArray &bytes);

// Baseline JPEG at quality 90, 24-bit colour, chroma not subsampled (4:4:4) so that
// the edges of coloured modules stay sharp. An empty picture gives no bytes.
QByteArray encode(const QImage &picture);

} // namespace kodrix::jpeg
