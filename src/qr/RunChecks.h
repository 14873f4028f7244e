#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "qr/RunState.h"
#include "settings/Settings.h"

namespace kodrix {

struct PreparedRun {
    RunSettings settings;
    SidePictures pictures;
};

// Everything a run checks before it touches anything, in this order: the sizes, the output
// folder (not empty, safe to empty), the picture type, the code colour source, then the
// side pictures are read and the problems with the colour and background pictures are
// collected into one text. Fails with the message the user is shown.
Result<PreparedRun> prepareRun(const Settings &snapshot, const ProgramFolder &programFolder);

} // namespace kodrix
