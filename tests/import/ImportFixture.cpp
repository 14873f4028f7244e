#include "ImportFixture.h"

#include "settings/SettingsFile.h"
#include "store/SchemaUpgrade.h"

#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace kodrix::test {

namespace {

std::unique_ptr<Database> openDatabase(const QString &file) {
    auto opened = Database::open(file);
    if (!opened) {
        ADD_FAILURE() << opened.error().toStdString();
        return nullptr;
    }
    return std::move(opened).value();
}

std::unique_ptr<Database> freshDatabase(const TempFolder &folder) {
    const QString file = folder.file(QStringLiteral("data.mdb"));
    QFile(file).open(QIODevice::WriteOnly);
    auto database = openDatabase(file);
    if (Status created = createFreshSchema(*database); !created)
        ADD_FAILURE() << created.error().toStdString();
    return database;
}

} // namespace

ImportFixture::ImportFixture()
    : programFolder_(folder_.path()), database_(freshDatabase(folder_)),
      records_(std::make_unique<RecordSet>(*database_)),
      settings_(Settings::defaults(programFolder_)), target_{*records_, settings_, programFolder_} {
    EXPECT_TRUE(records_->requery().ok());
}

void ImportFixture::seedList(std::initializer_list<const char *> fileNames) {
    for (const char *name : fileNames)
        records_->insert(recordWith({{Column::filename, QString::fromUtf8(name)},
                                     {Column::wenben, QStringLiteral("old ") + QString::fromUtf8(name)}}));
    ASSERT_TRUE(records_->batchUpdate().ok());
}

QStringList ImportFixture::storedFileNames() const {
    auto second = openDatabase(database_->file());
    QStringList names;
    auto query = second->OpenSql(QStringLiteral("select filename from list order by rowid"));
    while (query && query->next())
        names << query->value(0).toString();
    return names;
}

QString ImportFixture::storedContentType() const {
    return loadSettingsFile(programFolder_).settings.doctype;
}

QString fixture(const QString &name) {
    return QStringLiteral(KODRIX_IMPORT_FIXTURES "/") + name;
}

Record recordWith(std::initializer_list<std::pair<Column, QString>> fields) {
    Record record;
    for (const ColumnInfo &info : allColumns())
        record[info.column] = QStringLiteral("");
    for (const auto &[column, value] : fields)
        record[column] = value;
    return record;
}

Record withoutKeys(Record record) {
    record[Column::id] = QStringLiteral("");
    record[Column::mainid] = QStringLiteral("");
    return record;
}

} // namespace kodrix::test

namespace kodrix {

void PrintTo(const Record &record, std::ostream *out) {
    *out << "{";
    for (const ColumnInfo &info : allColumns())
        if (!record[info.column].isEmpty())
            *out << " " << info.name << "=\"" << record[info.column].toStdString() << "\"";
    *out << " }";
}

} // namespace kodrix
