#include "store/SchemaUpgrade.h"
#include "store/StoreFixture.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

namespace {

QSet<QString> columnsOfList(Database &db) {
    QSet<QString> names;
    auto query = db.OpenSql(QStringLiteral("pragma table_info(list)"));
    while (query && query->next())
        names.insert(query->value(1).toString());
    return names;
}

const QStringList kCardColumns = {"cardname", "nickname", "worktel", "hometel", "cell",
                                  "workfax",  "homefax",  "workaddr", "homeaddr"};

} // namespace

TEST(SchemaUpgrade, OnlyExactlyOnePointZeroIsUpgraded) {
    struct Case {
        const char *stored; // nullptr: the table has no row
        const char *after;
        bool upgraded;
    };
    const Case cases[] = {
        {"1.0", "1.01", true},     {" 1.0\t", "1.01", true}, {"1.00", "1.00", false},
        {"1.01", "1.01", false},   {"1.0a", "1.0a", false},  {nullptr, "", false},
    };
    for (const Case &c : cases) {
        StoreFixture store(/*legacy=*/true);
        if (c.stored) {
            ASSERT_TRUE(store.db().ExecSql(QStringLiteral("insert into ver values(?)"), {QString::fromLatin1(c.stored)}));
        }
        ASSERT_TRUE(upgradeSchema(store.db()).ok()) << c.stored;
        EXPECT_EQ(*schemaVersion(store.db()), QString::fromLatin1(c.after)) << (c.stored ? c.stored : "(no row)");
        const QSet<QString> columns = columnsOfList(store.db());
        for (const QString &column : kCardColumns)
            EXPECT_EQ(columns.contains(column), c.upgraded) << column.toStdString();
    }
}

TEST(SchemaUpgrade, RunsAgainAfterAPartialUpgradeAndKeepsRows) {
    StoreFixture store(/*legacy=*/true);
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("insert into ver values('1.0')")));
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("insert into list (wenben, filename) values('老记录', '1')")));
    // An earlier attempt added two of the columns and stopped before setting the version.
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("alter table list add column cardname text(100)")));
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("alter table list add column cell text(50)")));

    ASSERT_TRUE(upgradeSchema(store.db()).ok()) << store.db().lastError().toStdString();
    ASSERT_TRUE(upgradeSchema(store.db()).ok()) << "a second run changes nothing";
    EXPECT_EQ(*schemaVersion(store.db()), QStringLiteral("1.01"));
    for (const QString &column : kCardColumns)
        EXPECT_TRUE(columnsOfList(store.db()).contains(column)) << column.toStdString();
    auto rows = store.db().OpenSql(QStringLiteral("select wenben from list"));
    ASSERT_TRUE(rows && rows->next());
    EXPECT_EQ(rows->value(0).toString(), QStringLiteral("老记录"));
}

TEST(SchemaUpgrade, UnreadableVersionTableIsAnError) {
    StoreFixture store(/*legacy=*/true);
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("drop table ver")));
    EXPECT_FALSE(upgradeSchema(store.db()).ok());
}
