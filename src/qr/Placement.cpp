#include "qr/Placement.h"

namespace kodrix {

QPoint clampPlacement(QPoint wanted, QSize code, QSize picture) {
    // The order matters when the code is larger than the picture: the last two steps win.
    int left = wanted.x();
    int top = wanted.y();
    if (left + code.width() > picture.width())
        left = picture.width() - code.width();
    if (top + code.height() > picture.height())
        top = picture.height() - code.height();
    if (top < 0)
        top = 0;
    if (left < 0)
        left = 0;
    return {left, top};
}

QPoint centredPlacement(QSize code, QSize picture) {
    const QPoint middle((picture.width() - code.width()) / 2, (picture.height() - code.height()) / 2);
    return clampPlacement(middle, code, picture);
}

std::optional<QPoint> CentredPlacement::place(const PlacementRequest &request) {
    return centredPlacement(request.code.size(), request.picture.size());
}

std::optional<QPoint> FixedPlacement::place(const PlacementRequest &request) {
    const std::optional<QPoint> &given = request.kind == PlacementKind::Colour ? colourAt_ : backgroundAt_;
    if (!given)
        return centredPlacement(request.code.size(), request.picture.size());
    return clampPlacement(*given, request.code.size(), request.picture.size());
}

} // namespace kodrix
