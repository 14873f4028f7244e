#include "store/RecordSet.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <QStringList>

namespace kodrix {

namespace {

QString selectAllStatement() {
    QStringList names;
    for (const ColumnInfo &info : allColumns())
        names << QString::fromLatin1(info.name);
    return QStringLiteral("select rowid, %1 from list order by rowid").arg(names.join(QLatin1Char(',')));
}

QString insertStatement() {
    QStringList names;
    QStringList marks;
    for (const ColumnInfo &info : allColumns()) {
        names << QString::fromLatin1(info.name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("insert into list (%1) values (%2)")
        .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

} // namespace

Status RecordSet::requery() {
    // The old rows go first, so that a large list is never held twice in memory.
    rows_.clear();
    rows_.shrink_to_fit();
    pendingDeletes_.clear();
    pendingInserts_ = 0;
    current_ = 0;
    auto query = database_.OpenSql(selectAllStatement());
    if (!query)
        return Status::failure(database_.lastError());
    while (query->next()) {
        Row row;
        row.rowid = query->value(0).toLongLong();
        for (int c = 0; c < kColumnCount; ++c)
            row.record[static_cast<Column>(c)] = query->value(c + 1).toString();
        rows_.push_back(std::move(row));
    }
    return {};
}

void RecordSet::setCurrentRow(int row) { current_ = std::clamp(row, 0, size()); }

void RecordSet::insert(const Record &record) {
    rows_.push_back({0, record});
    ++pendingInserts_;
    current_ = size() - 1;
}

void RecordSet::deleteCurrent() {
    if (atEnd())
        return;
    const auto it = rows_.begin() + current_;
    if (it->rowid != 0)
        pendingDeletes_.push_back(it->rowid);
    else
        --pendingInserts_;
    rows_.erase(it);
    if (current_ >= size() && current_ > 0)
        current_ = size() - 1;
}

Status RecordSet::batchUpdate(BatchMode mode) {
    Status written = database_.inTransaction([&]() -> Status {
        if (mode == BatchMode::ReplaceTable) {
            if (!database_.ExecSql(QStringLiteral("delete from list")))
                return Status::failure(database_.lastError());
        } else {
            QSqlQuery remove(database_.connection());
            if (!remove.prepare(QStringLiteral("delete from list where rowid=?")))
                return Status::failure(database_.lastError());
            for (qint64 rowid : pendingDeletes_) {
                remove.addBindValue(rowid);
                if (!remove.exec())
                    return Status::failure(remove.lastError().text());
            }
        }
        QSqlQuery insert(database_.connection());
        if (!insert.prepare(insertStatement()))
            return Status::failure(insert.lastError().text());
        for (const Row &row : rows_) {
            if (row.rowid != 0)
                continue;
            for (int c = 0; c < kColumnCount; ++c)
                insert.bindValue(c, row.record[static_cast<Column>(c)]);
            if (!insert.exec())
                return Status::failure(insert.lastError().text());
        }
        return {};
    });
    if (!written)
        return written;
    return requery();
}

void RecordSet::LocateContaining(Column column, const QString &text) {
    const QString rememberedId = atEnd() ? QString() : current()[Column::id];
    if (!text.isEmpty()) {
        for (int row = 0; row < size(); ++row) {
            if (at(row)[column].contains(text, Qt::CaseSensitive)) {
                current_ = row;
                return;
            }
        }
    }
    for (int row = 0; row < size(); ++row) {
        if (at(row)[Column::id] == rememberedId) {
            current_ = row;
            return;
        }
    }
    current_ = size();
}

bool RecordSet::locatePrefix(Column column, const QString &text) {
    int best = -1;
    for (int row = 0; row < size(); ++row) {
        const QString &value = at(row)[column];
        if (!value.startsWith(text))
            continue;
        if (best < 0 || value < at(best)[column])
            best = row;
    }
    if (best < 0)
        return false;
    current_ = best;
    return true;
}

} // namespace kodrix
