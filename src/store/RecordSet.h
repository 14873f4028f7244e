#pragma once

#include "common/Result.h"
#include "store/Database.h"
#include "store/Record.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace kodrix {

// The working list: every row of table `list` in insertion order, with a current row.
// Inserts and deletions stay pending in the set until one batch update writes all of them
// in a single transaction; the set is then read again. The record grid, the import and the
// generation run all work on this one object.
class RecordSet {
public:
    explicit RecordSet(Database &database) : database_(database) {}

    // Reads the table again (pending changes are dropped) and makes the first row current.
    // When the table cannot be read the set is left empty.
    Status requery();

    int size() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    const Record &at(int row) const { return rows_[static_cast<size_t>(row)].record; }

    // The current row; equal to size() when the set is past its end.
    int currentRow() const { return current_; }
    void setCurrentRow(int row);
    void first() { current_ = 0; }
    void next() { if (current_ < size()) ++current_; }
    bool atEnd() const { return current_ >= size(); }
    const Record &current() const { return at(current_); }

    // Makes room for `count` more rows, so that a large import grows the set only once.
    void reserve(int count) { rows_.reserve(rows_.size() + static_cast<size_t>(std::max(count, 0))); }

    // Appends a pending row and makes it current.
    void insert(const Record &record);
    // Marks the current row for deletion and removes it from the set.
    void deleteCurrent();
    bool hasPendingChanges() const { return !pendingDeletes_.empty() || pendingInserts_ > 0; }

    enum class BatchMode { KeepOtherRows, ReplaceTable };
    // Writes the pending inserts and deletions in one transaction, then requeries. With
    // ReplaceTable the table is emptied first, in the same transaction. On failure nothing
    // is written and the pending changes stay.
    Status batchUpdate(BatchMode mode = BatchMode::KeepOtherRows);

    // Moves to the first row whose `column` contains `text` (case-sensitive); when none
    // does (the empty text matches none), returns to the row that was current, by `id`.
    void LocateContaining(Column column, const QString &text);

    // Among the rows whose `column` begins with `text`, moves to the one whose value sorts
    // first; returns false and stays when there is none.
    bool locatePrefix(Column column, const QString &text);

private:
    struct Row {
        qint64 rowid = 0; // 0 while the row is a pending insert
        Record record;
    };

    Database &database_;
    std::vector<Row> rows_;
    std::vector<qint64> pendingDeletes_;
    int pendingInserts_ = 0;
    int current_ = 0;
};

} // namespace kodrix
