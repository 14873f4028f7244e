#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "settings/Settings.h"

#include <QStringList>

namespace kodrix {

inline constexpr char16_t kSettingsFileName[] = u"softpara.ini";

struct LoadedSettings {
    Settings settings;
    QStringList warnings; // values that could not be read and fell back to their defaults
};

// Reads "softpara.ini" of the program folder: the fourteen "softset" keys and the current
// content type, each with its default when absent.
LoadedSettings loadSettingsFile(const ProgramFolder &folder);

// Writes the fourteen "softset" keys; other sections and keys of the file are kept.
Status saveSettingsFile(const Settings &settings, const ProgramFolder &folder);

// Writes the current content type ("tempdata"/"doctype") and nothing else.
Status saveContentType(const QString &doctype, const ProgramFolder &folder);

} // namespace kodrix
