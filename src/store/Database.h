#pragma once

#include "common/Result.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

namespace kodrix {

// The connection to the record database "data.mdb" (an SQLite file). Statements take their
// values as bound parameters, so a value holding a quote is stored like any other.
class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing database file; never creates one. Fails with the engine's text when
    // the file is missing, is not a database, or is locked.
    static Result<std::unique_ptr<Database>> open(const QString &file);

    // Runs a statement that returns no rows. Failures give false; lastError() has the text.
    bool ExecSql(const QString &statement, const QVariantList &values = {});
    // Runs a query and returns it positioned before its first row, or nothing on failure.
    std::optional<QSqlQuery> OpenSql(const QString &statement, const QVariantList &values = {});

    // Runs `work` inside one transaction: committed when it succeeds, rolled back otherwise.
    Status inTransaction(const std::function<Status()> &work);

    QString lastError() const { return lastError_; }
    QSqlDatabase connection() const;
    const QString &file() const { return file_; }

private:
    Database(QString connectionName, QString file);
    bool prepareAndRun(QSqlQuery &query, const QString &statement, const QVariantList &values);

    QString connectionName_;
    QString file_;
    QString lastError_;
};

// The message shown when the database cannot be opened: file name and the engine's text.
QString databaseOpenFailedMessage(const QString &file, const QString &engineText);

} // namespace kodrix
