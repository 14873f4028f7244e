#pragma once

#include "common/ProgramFolder.h"

#include <QStringList>

namespace kodrix {

// The files without which the program cannot work, in the order they are tested.
inline const QStringList kRequiredFiles = {QStringLiteral("data.mdb"), QStringLiteral("PtQREncode.dll"),
                                           QStringLiteral("PtImageRW.dll")};

// One message per missing required file, in test order.
QStringList missingRequiredFileMessages(const ProgramFolder &folder);

} // namespace kodrix
