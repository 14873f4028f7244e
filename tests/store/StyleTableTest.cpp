#include "store/StoreFixture.h"
#include "store/StyleTable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

namespace {

void writeStyle(TempFolder &folder, const QString &fileName, const QDateTime &modified) {
    const QString relative = QStringLiteral("样式文件/") + fileName;
    folder.write(relative, QByteArray("<TfrxReport/>"));
    QFile file(folder.file(relative));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace

TEST(StyleTable, RebuildListsEveryStyleFileNewestFirst) {
    StoreFixture store;
    const QString styles = store.folder().file(QStringLiteral("样式文件/"));
    const QDateTime older(QDate(2024, 1, 2), QTime(3, 4, 5));
    const QDateTime newer(QDate(2025, 12, 31), QTime(23, 59, 58));
    writeStyle(store.folder(), QStringLiteral("名片 样式.fr3"), older);
    writeStyle(store.folder(), QStringLiteral("O'Brien.fr3"), newer);
    writeStyle(store.folder(), QStringLiteral(".fr3"), older.addSecs(1));
    writeStyle(store.folder(), QStringLiteral("note.txt"), newer);
    // A stale row from the last start disappears.
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("insert into style values('gone', '2000-01-01 00:00:00')")));

    ASSERT_TRUE(rebuildStyleTable(store.db(), styles).ok());
    auto rows = readStyles(store.db());
    ASSERT_TRUE(rows.ok());
    const QList<StyleRow> expected = {
        {QStringLiteral("O'Brien"), QStringLiteral("2025-12-31 23:59:58")},
        {QString(), QStringLiteral("2024-01-02 03:04:06")},
        {QStringLiteral("名片 样式"), QStringLiteral("2024-01-02 03:04:05")},
    };
    EXPECT_EQ(*rows, expected);

    // A file removed and another changed by hand while the program was closed.
    ASSERT_TRUE(QFile::remove(styles + QStringLiteral("O'Brien.fr3")));
    writeStyle(store.folder(), QStringLiteral("名片 样式.fr3"), newer);
    ASSERT_TRUE(rebuildStyleTable(store.db(), styles).ok());
    rows = readStyles(store.db());
    ASSERT_EQ(rows->size(), 2);
    EXPECT_EQ(rows->at(0), (StyleRow{QStringLiteral("名片 样式"), QStringLiteral("2025-12-31 23:59:58")}));
}

TEST(StyleTable, MissingFolderGivesAnEmptyList) {
    StoreFixture store;
    ASSERT_TRUE(rebuildStyleTable(store.db(), store.folder().file(QStringLiteral("nowhere/"))).ok());
    EXPECT_TRUE(readStyles(store.db())->isEmpty());
}
