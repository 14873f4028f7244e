#include "store/StyleTable.h"

#include <QDir>
#include <QFileInfo>

namespace kodrix {

QString styleTimeText(const QDateTime &time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

Status rebuildStyleTable(Database &database, const QString &styleFolder) {
    return database.inTransaction([&]() -> Status {
        if (!database.ExecSql(QStringLiteral("delete from style")))
            return Status::failure(database.lastError());
        QDir folder(styleFolder);
        const QFileInfoList entries =
            folder.entryInfoList({QStringLiteral("*.fr3")},
                                 QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive, QDir::Unsorted);
        for (const QFileInfo &entry : entries) {
            const QString fileName = entry.fileName();
            const QString name = fileName.size() > 4 ? fileName.left(fileName.size() - 4) : QString();
            if (!database.ExecSql(QStringLiteral("insert into style values(?, ?)"),
                                  {name, styleTimeText(entry.lastModified())}))
                return Status::failure(database.lastError());
        }
        return {};
    });
}

Result<QList<StyleRow>> readStyles(Database &database) {
    auto query = database.OpenSql(QStringLiteral("select name, lasttime from style order by lasttime desc"));
    if (!query)
        return Result<QList<StyleRow>>::failure(database.lastError());
    QList<StyleRow> rows;
    while (query->next())
        rows.append({query->value(0).toString(), query->value(1).toString()});
    return rows;
}

} // namespace kodrix
