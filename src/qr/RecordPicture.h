#pragma once

#include "common/Result.h"
#include "qr/EncoderBinding.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kodrix {

// The steps that make one record's picture around the composition.

// A file name must name a file directly in the output folder: no "/" or "\", no "..".
Status checkFileName(const QString &fileName);

// Encodes `bytes` and rescales the symbol to width × height: the working picture.
Result<QImage> makeWorkingPicture(const EncoderModules &encoder, const QByteArray &bytes, int width, int height);

// Writes `picture` to folder + fileName + pictureType as JPEG or bitmap, by the type's
// letters without regard to case; a missing folder is created first.
Status writePicture(const QString &folder, const QString &fileName, const QImage &picture,
                    const QString &pictureType);

} // namespace kodrix
