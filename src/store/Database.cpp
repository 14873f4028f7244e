#include "store/Database.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>

namespace kodrix {

namespace {
QAtomicInt connectionCounter;

QString engineText(const QSqlError &error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.trimmed();
}
} // namespace

QString databaseOpenFailedMessage(const QString &file, const QString &engineText) {
    return file + QStringLiteral("无法打开：") + engineText;
}

Database::Database(QString connectionName, QString file)
    : connectionName_(std::move(connectionName)), file_(std::move(file)) {}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::connection() const { return QSqlDatabase::database(connectionName_, false); }

Result<std::unique_ptr<Database>> Database::open(const QString &file) {
    using R = Result<std::unique_ptr<Database>>;
    QFileInfo info(file);
    if (!info.exists() || !info.isFile())
        return R::failure(databaseOpenFailedMessage(file, QStringLiteral("文件不存在")));

    const QString name = QStringLiteral("kodrix-db-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    std::unique_ptr<Database> database(new Database(name, file));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open())
            return R::failure(databaseOpenFailedMessage(file, engineText(db.lastError())));
        // SQLite opens lazily; reading the catalogue proves the file is a usable database,
        // and taking the write lock proves no other program holds it.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")) ||
            !probe.exec(QStringLiteral("begin immediate")) || !probe.exec(QStringLiteral("rollback")))
            return R::failure(databaseOpenFailedMessage(file, engineText(probe.lastError())));
    }
    return R(std::move(database));
}

bool Database::prepareAndRun(QSqlQuery &query, const QString &statement, const QVariantList &values) {
    query.setForwardOnly(true);
    bool ok = query.prepare(statement);
    if (ok) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    lastError_ = ok ? QString() : engineText(query.lastError());
    return ok;
}

bool Database::ExecSql(const QString &statement, const QVariantList &values) {
    QSqlQuery query(connection());
    return prepareAndRun(query, statement, values);
}

std::optional<QSqlQuery> Database::OpenSql(const QString &statement, const QVariantList &values) {
    QSqlQuery query(connection());
    if (!prepareAndRun(query, statement, values))
        return std::nullopt;
    return query;
}

Status Database::inTransaction(const std::function<Status()> &work) {
    QSqlDatabase db = connection();
    if (!db.transaction())
        return Status::failure(engineText(db.lastError()));
    Status status = work();
    if (status.ok() && !db.commit())
        status = Status::failure(engineText(db.lastError()));
    if (!status.ok())
        db.rollback();
    return status;
}

} // namespace kodrix
