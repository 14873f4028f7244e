#include "qr/RunState.h"

#include "qr/PictureFiles.h"
#include "qr/PixelOps.h"

#include <QFileInfo>

namespace kodrix {

namespace {

bool isExistingFile(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// Reads a picture the composition needs at a given size; a file of no picture kind gives
// an empty picture, which cannot be rescaled.
Result<QImage> loadRescaled(const QString &path, QSize size) {
    auto loaded = loadpic(path);
    if (!loaded)
        return loaded;
    if (loaded->isNull())
        return Result<QImage>::failure(QStringLiteral("%1：无法读取，图片必须是JPG或BMP文件").arg(path));
    auto rescaled = stretchPicture(*loaded, size.width(), size.height());
    if (!rescaled)
        return rescaled;
    return asRgb32(std::move(rescaled).value());
}

Result<QImage> loadNatural(const QString &path) {
    auto loaded = loadpic(path);
    if (!loaded)
        return loaded;
    return asRgb32(std::move(loaded).value());
}

} // namespace

QSize logoSize(int width, int height) { return {width / 5, height / 5}; }

QPoint logoPosition(int width, int height) {
    return {static_cast<int>(2LL * width / 5), static_cast<int>(2LL * height / 5)};
}

Result<SidePictures> SidePictures::load(const RunSettings &settings) {
    using R = Result<SidePictures>;
    const Settings &values = settings.values;
    SidePictures pictures;

    // A logo of no pixels (a code narrower or lower than 5) draws nothing.
    const QSize logo = logoSize(settings.width, settings.height);
    if (isExistingFile(values.selectlogo) && !logo.isEmpty()) {
        auto loaded = loadRescaled(values.selectlogo, logo);
        if (!loaded)
            return R::failure(loaded.error());
        pictures.logo = std::move(loaded).value();
    }

    if (settings.codeColourFromPicture() && isExistingFile(values.codecolorpicture)) {
        auto loaded = loadNatural(values.codecolorpicture);
        if (!loaded)
            return R::failure(loaded.error());
        pictures.colour = std::move(loaded).value();
    }

    if (!settings.uniformBackground() && isExistingFile(values.backcolorpicture)) {
        auto loaded = values.backstretch
                          ? loadRescaled(values.backcolorpicture, QSize(settings.width, settings.height))
                          : loadNatural(values.backcolorpicture);
        if (!loaded)
            return R::failure(loaded.error());
        pictures.background = std::move(loaded).value();
    }
    return pictures;
}

} // namespace kodrix
