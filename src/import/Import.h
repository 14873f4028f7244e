#pragma once

#include "common/ProgramFolder.h"
#include "settings/Settings.h"
#include "store/RecordSet.h"

#include <QString>

#include <functional>

namespace kodrix {

// The `id` of a record added now: the local time as the 17 digits "yyyyMMddHHmmsszzz".
QString recordIdNow();

// What an import works on: the working list, the live settings whose content type a
// spreadsheet import replaces, and the program folder whose "softpara.ini" stores that type.
struct ImportTarget {
    RecordSet &records;
    Settings &settings;
    const ProgramFolder &folder;
    std::function<QString()> makeId = recordIdNow;
};

// How an import ended. The caller shows `message` when it is not empty, re-reads the grid
// when the list changed and applies the column layout when the content type changed.
struct ImportOutcome {
    enum class Status {
        Ignored,  // the file is of no kind the import reads; nothing happened
        Imported, // records were stored
        Refused,  // the file was refused or could not be stored; nothing changed
    };
    Status status = Status::Ignored;
    QString message;
    bool listChanged = false;
    bool contentTypeChanged = false;
    int recordsAdded = 0;

    static ImportOutcome refused(QString text) { return {Status::Refused, std::move(text), false, false, 0}; }
};

// Replaces the list with the records of a workbook and makes its content type current.
// Every row is read and checked first; then the list is replaced in one transaction and the
// content type stored, so a refusal or a failure leaves the list and the type as they were.
ImportOutcome importSpreadsheet(const QString &file, ImportTarget &target);

// Appends one record per line of a text file; the content type stays as it is.
ImportOutcome importTextFile(const QString &file, ImportTarget &target);

using Importer = ImportOutcome (*)(const QString &file, ImportTarget &target);

// The import for a file, chosen by the last three letters of its name in upper case: "XLS"
// for a workbook, "TXT" for a text file; none for any other name.
Importer importerFor(const QString &file);

// Runs the import that importerFor() chooses; a file of no known kind is ignored.
ImportOutcome importFile(const QString &file, ImportTarget &target);

} // namespace kodrix
