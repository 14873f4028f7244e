#include "qr/Composition.h"

#include "qr/PixelOps.h"

namespace kodrix {

namespace {

QString missingColourPicture(const RunSettings &settings) {
    return QStringLiteral("二维码颜色图片不存在或无法读取：%1").arg(settings.values.codecolorpicture);
}

// The code coloured and with its logo: everything before the background step.
Result<QImage> colourAndLogo(QImage working, const RunSettings &settings, const RunState &state) {
    using R = Result<QImage>;
    working = asRgb32(std::move(working));
    if (settings.codeColourFromPicture()) {
        if (state.pictures.colour.isNull())
            return R::failure(missingColourPicture(settings));
        if (!state.colourPlacement)
            return R::failure(QStringLiteral("二维码在颜色图片上的位置还没有确定"));
        takeDarkFrom(working, state.pictures.colour, *state.colourPlacement);
    } else {
        paintDark(working, settings.values.codecolor.rgb());
    }
    addLogo(working, state.pictures.logo, settings.values.logotransparent, settings.width, settings.height);
    return working;
}

// Uniform code colour on a uniform background in one pass over the code: the only white
// left after the logo is drawn is the logo's own, which the background colour then takes.
// A white code colour ends in the background colour, as a pass of each would leave it.
QImage composeUniform(QImage working, const RunSettings &settings, const RunState &state) {
    working = asRgb32(std::move(working));
    const QRgb background = settings.values.backcolor.rgb();
    const QRgb code = settings.values.codecolor.rgb();
    paintBoth(working, isWhite(code) ? background : code, background);
    const QImage &logo = state.pictures.logo;
    if (!logo.isNull()) {
        addLogo(working, logo, settings.values.logotransparent, settings.width, settings.height);
        paintWhite(working, background, QRect(logoPosition(settings.width, settings.height), logo.size()));
    }
    return working;
}

std::optional<QPoint> ask(PlacementProvider &provider, PlacementKind kind, const QImage &picture,
                          const QImage &code) {
    const std::optional<QPoint> answer = provider.place(PlacementRequest{kind, picture, code});
    if (!answer)
        return std::nullopt;
    return clampPlacement(*answer, code.size(), picture.size());
}

} // namespace

void addLogo(QImage &picture, const QImage &logo, bool transparent, int width, int height) {
    if (logo.isNull())
        return;
    const QPoint at = logoPosition(width, height);
    if (transparent)
        overlayNonWhite(picture, logo, at.x(), at.y());
    else
        drawOpaque(picture, logo, at);
}

bool placementsPending(const RunSettings &settings, const RunState &state) {
    return (settings.codeColourFromPicture() && !state.colourPlacement) ||
           (settings.placedBackground() && !state.pictures.background.isNull() && !state.backgroundPlacement);
}

Result<Settlement> settlePlacements(const QImage &working, const RunSettings &settings, RunState &state,
                                    PlacementProvider &provider) {
    using R = Result<Settlement>;
    if (settings.codeColourFromPicture() && !state.colourPlacement) {
        if (state.pictures.colour.isNull())
            return R::failure(missingColourPicture(settings));
        state.colourPlacement = ask(provider, PlacementKind::Colour, state.pictures.colour, working);
        if (!state.colourPlacement)
            return Settlement::Cancelled;
    }
    const QImage &background = state.pictures.background;
    if (settings.placedBackground() && !background.isNull() && !state.backgroundPlacement) {
        auto coded = colourAndLogo(working, settings, state);
        if (!coded)
            return R::failure(coded.error());
        state.backgroundPlacement = ask(provider, PlacementKind::Background, background, *coded);
        if (!state.backgroundPlacement)
            return Settlement::Cancelled;
    }
    return Settlement::Settled;
}

Result<QImage> compose(QImage working, const RunSettings &settings, const RunState &state) {
    if (!settings.codeColourFromPicture() && settings.uniformBackground())
        return composeUniform(std::move(working), settings, state);
    auto coded = colourAndLogo(std::move(working), settings, state);
    if (!coded)
        return coded;
    QImage code = std::move(coded).value();

    if (settings.uniformBackground()) {
        paintWhite(code, settings.values.backcolor.rgb());
        return code;
    }
    const QImage &background = state.pictures.background;
    if (background.isNull()) // the background file is missing: the code stays on white
        return code;
    QImage out = background.copy();
    if (settings.stretchedBackground()) {
        overlayNonWhite(out, code, 0, 0);
        return out;
    }
    if (!state.backgroundPlacement)
        return Result<QImage>::failure(QStringLiteral("二维码在背景图上的位置还没有确定"));
    const QPoint at = *state.backgroundPlacement;
    if (settings.values.codewhitetransparent)
        takeWhiteFrom(code, background, at);
    drawOpaque(out, code, at);
    return out;
}

} // namespace kodrix
