// Spreadsheet import: the whole list is replaced by the rows of one workbook.
#include "import/Import.h"
#include "import/ImportMessages.h"
#include "import/SheetRecords.h"
#include "qr/ContentType.h"
#include "settings/SettingsFile.h"

#include <QSet>

namespace kodrix {

namespace {

// The records read from the workbook wait in the working list as pending inserts, after the
// rows that were there; this takes them out again when the import does not go through.
class PendingRows {
public:
    explicit PendingRows(RecordSet &records)
        : records_(records), first_(records.size()), current_(records.currentRow()) {}

    int first() const { return first_; }
    int count() const { return records_.size() - first_; }

    void drop() {
        while (records_.size() > first_) {
            records_.setCurrentRow(records_.size() - 1);
            records_.deleteCurrent();
        }
        records_.setCurrentRow(current_);
    }

private:
    RecordSet &records_;
    int first_;
    int current_;
};

// The first file name that a later record repeats (compared exactly), if any.
std::optional<QString> firstRepeatedFileName(const RecordSet &records, int firstRow) {
    QSet<QString> seen;
    seen.reserve(records.size() - firstRow);
    for (int row = firstRow; row < records.size(); ++row) {
        const QString &name = records.at(row)[Column::filename];
        if (seen.contains(name))
            return name;
        seen.insert(name);
    }
    return std::nullopt;
}

// Reads all records of the workbook into the list as pending rows; the workbook is closed
// again when this returns.
Result<ContentType> readWorkbook(const QString &file, ImportTarget &target) {
    auto workbook = openXlsWorkbook(file);
    if (!workbook)
        return Result<ContentType>::failure(workbook.error());
    target.records.reserve((*workbook)->rowCount());
    return readSheetRecords(**workbook, target.makeId,
                            [&](const Record &record) { target.records.insert(record); });
}

// Stores the pending rows in place of the list and makes `type` the current content type.
// The type is written to the settings file first (an atomic write) so that a failure there
// stops the import before the list is touched; if the list cannot be stored after that, the
// file gets its previous type back.
ImportOutcome replaceList(ContentType type, PendingRows &pending, ImportTarget &target) {
    const QString previousType = target.settings.doctype;
    const QString typeName = contentTypeName(type);
    if (Status stored = saveContentType(typeName, target.folder); !stored) {
        pending.drop();
        return ImportOutcome::refused(contentTypeNotStoredMessage(stored.error()));
    }
    const int count = pending.count();
    if (Status written = target.records.batchUpdate(RecordSet::BatchMode::ReplaceTable); !written) {
        pending.drop();
        saveContentType(previousType, target.folder);
        return ImportOutcome::refused(listNotStoredMessage(written.error()));
    }
    target.settings.doctype = typeName;
    return {ImportOutcome::Status::Imported, kImportDoneMessage, true, typeName != previousType, count};
}

} // namespace

ImportOutcome importSpreadsheet(const QString &file, ImportTarget &target) {
    PendingRows pending(target.records);
    const Result<ContentType> type = readWorkbook(file, target);
    if (!type) {
        pending.drop();
        return ImportOutcome::refused(type.error());
    }
    if (auto repeated = firstRepeatedFileName(target.records, pending.first())) {
        pending.drop();
        return ImportOutcome::refused(repeatedFileNameMessage(*repeated));
    }
    return replaceList(*type, pending, target);
}

} // namespace kodrix
