#pragma once

#include "common/Result.h"
#include "qr/Placement.h"
#include "qr/RunState.h"

#include <QImage>

namespace kodrix {

// Turning the encoder's black-on-white symbol, rescaled to width × height (the working
// picture), into the output picture: the code coloured uniformly or from the colour
// picture, the logo in the middle, then the uniform background colour, the stretched
// background picture or the code drawn onto the background picture.

enum class Settlement { Settled, Cancelled };

// Whether the settings need a placement that `state` does not hold yet.
bool placementsPending(const RunSettings &settings, const RunState &state);

// Asks `provider` for each placement the settings need and `state` still lacks, showing it
// `working`, the run's first code: first the colour placement, then the background
// placement with the code already coloured. Answers are clamped onto their picture.
Result<Settlement> settlePlacements(const QImage &working, const RunSettings &settings, RunState &state,
                                    PlacementProvider &provider);

// The output picture of one record. Reads `state` only, so records can be composed on
// several threads at once. Fails when a placement the settings need is not settled or the
// colour picture is missing.
Result<QImage> compose(QImage working, const RunSettings &settings, const RunState &state);

// Puts `logo` (already of logoSize) at logoPosition of a width × height code: opaque, or
// with only its dark pixels when `transparent`.
void addLogo(QImage &picture, const QImage &logo, bool transparent, int width, int height);

} // namespace kodrix
