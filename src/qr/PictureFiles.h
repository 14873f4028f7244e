#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace kodrix {

// The kind of a picture file, judged only by the last three letters of its name.
enum class PictureKind { Jpeg, Bitmap, None };
PictureKind pictureKindOf(const QString &path);

// Reads a JPEG ("…JPG") or Windows bitmap ("…BMP") file into an RGB picture
// (Format_RGB32). Any other name gives an empty (0 × 0) picture without touching the file.
// A broken, truncated or oversized file of a known kind is an error.
Result<QImage> loadpic(const QString &path);

// Writes `picture` to folder + fileName + pictureType: ".JPG" (any case) as JPEG, quality
// 90, baseline, 24-bit; ".BMP" as an uncompressed Windows bitmap; anything else writes
// nothing and fails.
Status savepic(const QString &folder, const QString &fileName, const QImage &picture, const QString &pictureType);

// Nearest-neighbour rescaling that never blends colours; the same size gives an identical
// picture. A width or height of 0 is an error.
Result<QImage> stretchPicture(const QImage &source, int width, int height);

// Rescales a bitmap file (stretchBitmapFile) or any picture file loadpic reads
// (stretchPictureFile) and writes the result as a Windows bitmap; target may be the source.
Status stretchBitmapFile(const QString &source, const QString &target, int width, int height);
Status stretchPictureFile(const QString &source, const QString &target, int width, int height);

// The encoded bytes, for callers that write files themselves (the parallel run). JPEG is
// baseline, quality 90, 24-bit, chroma not subsampled (4:4:4); the bitmap is 24-bit.
QByteArray encodeJpeg(const QImage &picture);
QByteArray encodeBitmap(const QImage &picture);

} // namespace kodrix
