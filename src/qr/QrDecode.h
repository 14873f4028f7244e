#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QImage>

namespace kodrix {

// Reads the QR code in `picture` with ZXing and returns the exact bytes it carries.
Result<QByteArray> decodeQrBytes(const QImage &picture);

} // namespace kodrix
