#pragma once

#include "store/Database.h"
#include "support/TempFolder.h"

#include <memory>

namespace kodrix::test {

// A fresh database file in a temporary folder.
class StoreFixture {
public:
    // With `legacy` the file has the schema of version 1.0 (no card columns).
    explicit StoreFixture(bool legacy = false);
    Database &db() { return *database_; }
    QString dbFile() const { return folder_.file(QStringLiteral("data.mdb")); }
    TempFolder &folder() { return folder_; }
    // Opens another connection to the same file.
    std::unique_ptr<Database> reopen() const;

private:
    TempFolder folder_;
    std::unique_ptr<Database> database_;
};

} // namespace kodrix::test
