#pragma once

#include "common/Result.h"
#include "store/Database.h"

namespace kodrix {

inline constexpr const char *kCurrentSchemaVersion = "1.01";

// The version text of table `ver` (first row), trimmed; empty when the table has no row.
Result<QString> schemaVersion(Database &database);

// Brings a "1.0" database to "1.01": adds each of the nine card columns that is missing,
// one statement each, and only then sets the version. Any other version is left alone.
Status upgradeSchema(Database &database);

// Creates the three tables of an empty database at the current version.
Status createFreshSchema(Database &database);

} // namespace kodrix
