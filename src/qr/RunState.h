#pragma once

#include "common/Result.h"
#include "settings/Settings.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace kodrix {

inline const QString kUniformColour = QStringLiteral("统一颜色");
inline const QString kPictureColour = QStringLiteral("图片颜色");

// The settings of one run: the snapshot taken at its start, with the sizes converted.
struct RunSettings {
    Settings values;
    int width = 0;
    int height = 0;

    bool codeColourFromPicture() const { return values.codecolorfrom == kPictureColour; }
    // Any source other than the uniform colour means a background picture.
    bool uniformBackground() const { return values.backcolorfrom == kUniformColour; }
    bool placedBackground() const { return !uniformBackground() && !values.backstretch; }
    bool stretchedBackground() const { return !uniformBackground() && values.backstretch; }
};

// The logo's size and place in a code of width × height: a fifth of each side, two fifths in.
QSize logoSize(int width, int height);
QPoint logoPosition(int width, int height);

// The side pictures of a run, read once at its start and shared, read-only, by every record.
// A picture the settings do not use, or whose file does not exist, stays null.
struct SidePictures {
    QImage logo;       // rescaled to logoSize()
    QImage colour;     // the colour picture at its own size
    QImage background; // at its own size, or rescaled to width × height when stretched

    // Fails with the reader's reason when a file that exists cannot be read.
    static Result<SidePictures> load(const RunSettings &settings);
};

// What a run keeps from record to record: its side pictures and the placements, each
// settled on the run's first code and reused unchanged for every later record.
struct RunState {
    SidePictures pictures;
    std::optional<QPoint> colourPlacement;
    std::optional<QPoint> backgroundPlacement;
};

} // namespace kodrix
