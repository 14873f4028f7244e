#include "qr/RecordPicture.h"

#include "qr/PictureFiles.h"
#include "qr/PixelOps.h"

#include <QDir>
#include <QFile>

namespace kodrix {

Status checkFileName(const QString &fileName) {
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')) ||
        fileName.contains(QStringLiteral("..")) || fileName.contains(QChar(u'\0')))
        return Status::failure(
            QStringLiteral("文件名“%1”含有路径分隔符“/”“\\”或“..”，图片只能直接保存在保存目录里").arg(fileName));
    return {};
}

Result<QImage> makeWorkingPicture(const EncoderModules &encoder, const QByteArray &bytes, int width, int height) {
    auto symbol = encoder.encodeToPicture(bytes, 0, 1, 0);
    if (!symbol)
        return symbol;
    auto working = stretchPicture(*symbol, width, height);
    if (!working)
        return working;
    return asRgb32(std::move(working).value());
}

Status writePicture(const QString &folder, const QString &fileName, const QImage &picture,
                    const QString &pictureType) {
    const QString path = folder + fileName + pictureType;
    const QByteArray bytes =
        pictureType.toUpper() == u".JPG" ? encodeJpeg(picture) : encodeBitmap(picture);
    if (bytes.isEmpty())
        return Status::failure(QStringLiteral("图片编码失败：%1").arg(path));

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) && !(QDir().mkpath(folder) && file.open(QIODevice::WriteOnly)))
        return Status::failure(QStringLiteral("无法写入图片文件：%1（%2）").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove(); // no half-written picture
        return Status::failure(QStringLiteral("无法写入图片文件：%1（%2）").arg(path, reason));
    }
    return {};
}

} // namespace kodrix
