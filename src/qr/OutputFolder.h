#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"

#include <QString>

namespace kodrix {

// Refuses an output folder whose emptying would destroy what is not the run's: the
// file-system root, the home folder, the program folder, or a folder that holds the home or
// the program folder. Symbolic links in the path are resolved first.
Status checkOutputFolder(const QString &folder, const ProgramFolder &programFolder);

// Deletes everything inside `folder` and creates the folder when it is missing. Symbolic
// links are removed as links, never followed; an entry that cannot be deleted stays.
Status emptyOutputFolder(const QString &folder);

} // namespace kodrix
