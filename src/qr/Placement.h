#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

#include <optional>

namespace kodrix {

// Where the code lies on a picture: on the colour picture, whose colours then fill the
// code's dark modules, or on the background picture that the code is drawn onto.
enum class PlacementKind { Colour, Background };

struct PlacementRequest {
    PlacementKind kind;
    const QImage &picture; // the colour or background picture at its own size
    const QImage &code;    // the code as it will be laid on the picture
};

// Asked once per run for each kind of placement the settings need, with the first code
// of the run; the answer holds for every later record of the run.
class PlacementProvider {
public:
    virtual ~PlacementProvider() = default;
    // The top-left corner of the code on the picture, or nothing when the user cancels.
    // The run clamps the answer onto the picture (clampPlacement).
    virtual std::optional<QPoint> place(const PlacementRequest &request) = 0;
};

// Keeps a code of `code` size inside a picture of `picture` size: a code beyond the right
// or bottom edge is moved back to end at that edge, one beyond the left or top edge stops
// at 0; a code larger than the picture sticks to its top-left corner.
QPoint clampPlacement(QPoint wanted, QSize code, QSize picture);

// The code in the middle of the picture.
QPoint centredPlacement(QSize code, QSize picture);

// Places the code in the middle of every picture.
class CentredPlacement final : public PlacementProvider {
public:
    std::optional<QPoint> place(const PlacementRequest &request) override;
};

// Fixed points given in advance (for example on the command line); a kind without a point
// is centred.
class FixedPlacement final : public PlacementProvider {
public:
    FixedPlacement(std::optional<QPoint> colourAt, std::optional<QPoint> backgroundAt)
        : colourAt_(colourAt), backgroundAt_(backgroundAt) {}
    std::optional<QPoint> place(const PlacementRequest &request) override;

private:
    std::optional<QPoint> colourAt_;
    std::optional<QPoint> backgroundAt_;
};

} // namespace kodrix
