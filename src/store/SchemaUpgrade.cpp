#include "store/SchemaUpgrade.h"

#include "common/TextDecoding.h"
#include "store/Record.h"

#include <QSet>
#include <QStringList>

namespace kodrix {

namespace {

struct AddedColumn {
    Column column;
    int width;
};

// The columns that version 1.01 added to `list`, with their text widths.
constexpr AddedColumn kAddedIn101[] = {
    {Column::cardname, 100}, {Column::nickname, 100}, {Column::worktel, 50},
    {Column::hometel, 50},   {Column::cell, 50},      {Column::workfax, 50},
    {Column::homefax, 50},   {Column::workaddr, 200}, {Column::homeaddr, 200},
};

int widthOf(Column column) {
    for (const AddedColumn &added : kAddedIn101)
        if (added.column == column)
            return added.width;
    return 0;
}

QString columnType(Column column) {
    const int width = widthOf(column);
    return width > 0 ? QStringLiteral("text(%1)").arg(width) : QStringLiteral("text");
}

Result<QSet<QString>> listColumns(Database &database) {
    auto query = database.OpenSql(QStringLiteral("pragma table_info(list)"));
    if (!query)
        return Result<QSet<QString>>::failure(database.lastError());
    QSet<QString> names;
    while (query->next())
        names.insert(query->value(1).toString().toLower());
    return names;
}

Status failed(Database &database) { return Status::failure(database.lastError()); }

} // namespace

Result<QString> schemaVersion(Database &database) {
    auto query = database.OpenSql(QStringLiteral("select * from ver"));
    if (!query)
        return Result<QString>::failure(database.lastError());
    if (!query->next())
        return QString();
    return trimBlanksAndControls(query->value(0).toString());
}

Status upgradeSchema(Database &database) {
    auto version = schemaVersion(database);
    if (!version)
        return Status::failure(version.error());
    if (*version != QLatin1String("1.0"))
        return {};

    return database.inTransaction([&]() -> Status {
        auto existing = listColumns(database);
        if (!existing)
            return Status::failure(existing.error());
        for (const AddedColumn &added : kAddedIn101) {
            const QString name = columnName(added.column);
            if (existing->contains(name))
                continue;
            if (!database.ExecSql(QStringLiteral("alter table list add column %1 %2")
                                      .arg(name, columnType(added.column))))
                return failed(database);
        }
        if (!database.ExecSql(QStringLiteral("update ver set version=?"),
                              {QString::fromLatin1(kCurrentSchemaVersion)}))
            return failed(database);
        return {};
    });
}

Status createFreshSchema(Database &database) {
    return database.inTransaction([&]() -> Status {
        QStringList columns;
        for (const ColumnInfo &info : allColumns())
            columns << QString::fromLatin1(info.name) + QLatin1Char(' ') + columnType(info.column);
        const QStringList statements = {
            QStringLiteral("create table list (%1)").arg(columns.join(QStringLiteral(", "))),
            QStringLiteral("create table style (name text, lasttime text)"),
            QStringLiteral("create table ver (version text)"),
        };
        for (const QString &statement : statements)
            if (!database.ExecSql(statement))
                return failed(database);
        if (!database.ExecSql(QStringLiteral("insert into ver values(?)"),
                              {QString::fromLatin1(kCurrentSchemaVersion)}))
            return failed(database);
        return {};
    });
}

} // namespace kodrix
