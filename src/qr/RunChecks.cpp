#include "qr/RunChecks.h"

#include "qr/OutputFolder.h"
#include "qr/PictureLimits.h"

#include <QFileInfo>

#include <optional>

namespace kodrix {

namespace {

// A size as the dialog admits it: decimal digits only.
std::optional<int> parseSize(const QString &text) {
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool exists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// The width and height pieces for a picture on which the code is dragged.
QString sizePieces(QSize picture, const RunSettings &settings, const QString &reason, const QString &name) {
    QString text;
    if (picture.width() < settings.width)
        text += QStringLiteral(",因为%1（该项选择需拖动条码，所以条码的宽度应比%2的宽度小），而经过检查，%2宽度为：%3，而你填写的条码宽度为%4，请修改")
                    .arg(reason, name)
                    .arg(picture.width())
                    .arg(settings.width);
    if (picture.height() < settings.height)
        text += QStringLiteral(",因为%1（该项选择需拖动条码，所以条码的高度应比%2的高度小），而经过检查，%2高度为：%3，而你填写的条码高度为%4，请修改")
                    .arg(reason, name)
                    .arg(picture.height())
                    .arg(settings.height);
    return text;
}

QString pictureProblems(const RunSettings &settings, const SidePictures &pictures) {
    const Settings &values = settings.values;
    QString text;
    if (values.codecolorfrom == kPictureColour) {
        if (values.codecolorpicture.isEmpty())
            text += QStringLiteral(",因为二维码颜色来源你选择了图片颜色，所以二维码颜色图片不能为空");
        else if (!exists(values.codecolorpicture))
            text += QStringLiteral(",因为二维码颜色来源你选择了图片颜色，而经过检查，二维码颜色图片不存在：") +
                    values.codecolorpicture;
        else
            text += sizePieces(pictures.colour.size(), settings, QStringLiteral("二维码颜色来源你选择了图片颜色"),
                               QStringLiteral("二维码颜色图片"));
    }
    if (values.backcolorfrom == kPictureColour) {
        if (values.backcolorpicture.isEmpty())
            text += QStringLiteral(",因为背景颜色来源你选择了图片颜色，所以背景颜色图片不能为空");
        else if (exists(values.backcolorpicture) && !values.backstretch)
            text += sizePieces(pictures.background.size(), settings, QStringLiteral("你选择了连同背景图一起做为条码"),
                               QStringLiteral("背景图"));
    }
    return text;
}

} // namespace

Result<PreparedRun> prepareRun(const Settings &snapshot, const ProgramFolder &programFolder) {
    using R = Result<PreparedRun>;
    PreparedRun run;
    run.settings.values = snapshot;
    const Settings &values = run.settings.values;

    const std::optional<int> height = parseSize(values.height);
    const std::optional<int> width = parseSize(values.width);
    if (!height || !width)
        return R::failure(QStringLiteral("高或宽输入错误，高或宽必须是整数，请检查！"));
    // A code of no pixels cannot be made; refuse it before the folder is emptied.
    if (*height == 0 || *width == 0)
        return R::failure(QStringLiteral("高或宽输入错误，高和宽必须大于0，请检查！"));
    if (!pictureSizeAllowed(*width, *height))
        return R::failure(QStringLiteral("高或宽输入错误，图片尺寸过大（每边最多%1像素，总共最多%2像素），请检查！")
                              .arg(kMaxPictureSide)
                              .arg(kMaxPicturePixels));
    run.settings.height = *height;
    run.settings.width = *width;

    if (values.savepath.isEmpty())
        return R::failure(QStringLiteral("二维码保存目录不能为空！"));
    if (Status safe = checkOutputFolder(values.savepath, programFolder); !safe)
        return R::failure(safe.error());

    const QString type = values.picturetype.toUpper();
    if (type != u".JPG" && type != u".BMP")
        return R::failure(QStringLiteral("错误的图片类型，图片类型必须为JPG或BMP！"));

    if (values.codecolorfrom != kUniformColour && values.codecolorfrom != kPictureColour)
        return R::failure(QStringLiteral("错误的二维码颜色来源，二维码颜色来源必须为统一颜色或图片颜色！"));

    auto pictures = SidePictures::load(run.settings);
    if (!pictures)
        return R::failure(pictures.error());
    run.pictures = std::move(pictures).value();

    if (const QString problems = pictureProblems(run.settings, run.pictures); !problems.isEmpty())
        return R::failure(problems + QStringLiteral("，请检查并纠正，谢谢！"));
    return run;
}

} // namespace kodrix
