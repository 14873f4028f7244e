#pragma once

#include "import/Import.h"
#include "store/Database.h"
#include "store/RecordSet.h"
#include "support/TempFolder.h"

#include <QString>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <utility>

namespace kodrix::test {

// A program folder in a temporary place with an empty record database, the working list
// over it, default settings and an import target on all three.
class ImportFixture {
public:
    ImportFixture();

    TempFolder &folder() { return folder_; }
    const ProgramFolder &programFolder() const { return programFolder_; }
    Database &database() { return *database_; }
    RecordSet &records() { return *records_; }
    Settings &settings() { return settings_; }
    ImportTarget &target() { return target_; }

    // Stores records with the given file names (and wenben "old <name>") as the list before an import.
    void seedList(std::initializer_list<const char *> fileNames);
    // The file names of the list as the database holds it, read on a second connection.
    QStringList storedFileNames() const;
    // The content type "softpara.ini" holds, as a fresh start would read it.
    QString storedContentType() const;

private:
    TempFolder folder_;
    ProgramFolder programFolder_;
    std::unique_ptr<Database> database_;
    std::unique_ptr<RecordSet> records_;
    Settings settings_;
    ImportTarget target_;
};

// A fixture workbook written at build time.
QString fixture(const QString &name);

// A record with the given fields set and every other field empty.
Record recordWith(std::initializer_list<std::pair<Column, QString>> fields);

// Clears id and mainid, which tests compare apart.
Record withoutKeys(Record record);

} // namespace kodrix::test

namespace kodrix {
// Shows the filled fields of a record in test failures.
void PrintTo(const Record &record, std::ostream *out);
} // namespace kodrix
