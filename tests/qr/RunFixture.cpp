#include "RunFixture.h"

#include "qr/PictureFiles.h"

#include <QFile>

namespace kodrix::test {

RunFixture::RunFixture() {
    for (const char *module : {"PtQREncode.dll", "PtImageRW.dll"}) {
        const QString name = QString::fromLatin1(module);
        QFile::copy(builtProgramFolder() + name, temp_.file(name));
    }
    settings = Settings::defaults(programFolder());
    settings.savepath = outputFolder();
}

RunRequest RunFixture::request(PlacementProvider *placement, int threads) const {
    RunRequest request(settings, programFolder());
    request.placement = placement;
    request.threads = threads;
    request.recordCount = static_cast<int>(records.size());
    request.recordAt = [this](int row) -> const Record & { return records[static_cast<size_t>(row)]; };
    return request;
}

QString RunFixture::savePicture(const QString &name, const QImage &picture) const {
    const QString dot = QStringLiteral(".");
    const int at = name.lastIndexOf(dot);
    savepic(temp_.path(), name.left(at), picture, name.mid(at));
    return temp_.file(name);
}

QByteArray RunFixture::output(const QString &fileName) const {
    QFile file(outputFolder() + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Record recordOf(ContentType type, const QString &value, const QString &fileName) {
    Record record;
    int n = 0;
    for (Column field : contentTypeInfo(type).fields)
        record[field] = value + QString::number(++n);
    record[Column::filename] = fileName;
    return record;
}

Record textRecord(const QString &text, const QString &fileName) {
    Record record;
    record[Column::wenben] = text;
    record[Column::filename] = fileName;
    return record;
}

QImage gradient(int width, int height, QRgb from, QRgb to) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        const double t = width > 1 ? double(x) / (width - 1) : 0.0;
        auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
        const QRgb colour = qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)), mix(qBlue(from), qBlue(to)));
        for (int y = 0; y < height; ++y)
            picture.setPixel(x, y, colour);
    }
    return picture;
}

} // namespace kodrix::test
