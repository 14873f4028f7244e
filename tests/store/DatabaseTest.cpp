#include "store/StoreFixture.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

TEST(Database, OpenRefusesWhatIsNotAUsableDatabase) {
    TempFolder folder;
    folder.write(QStringLiteral("text.mdb"), QByteArray("this is not a database at all, just some text\n").repeated(100));

    auto missing = Database::open(folder.file(QStringLiteral("missing.mdb")));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().startsWith(folder.file(QStringLiteral("missing.mdb"))));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("missing.mdb")))) << "the program never creates it";

    auto text = Database::open(folder.file(QStringLiteral("text.mdb")));
    ASSERT_FALSE(text.ok());
    EXPECT_TRUE(text.error().contains(QStringLiteral("not a database"))) << text.error().toStdString();
}

TEST(Database, LockedFileIsReportedWithTheEngineText) {
    StoreFixture store;
    // Another process holds an exclusive lock on the file.
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {store.dbFile()});
    if (!holder.waitForStarted())
        GTEST_SKIP() << "sqlite3 is not installed";
    holder.write("begin exclusive; select 1;\n");
    holder.waitForReadyRead(5000);

    auto opened = Database::open(store.dbFile());
    holder.write(".quit\n");
    holder.closeWriteChannel();
    holder.waitForFinished();
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().contains(QStringLiteral("locked"))) << opened.error().toStdString();
}

TEST(Database, ValuesWithQuotesAreStoredThroughBoundParameters) {
    StoreFixture store;
    const QString tricky = QStringLiteral("O'Brien's \"style\"; drop table list; --");
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("insert into style values(?, ?)"), {tricky, QStringLiteral("t")}));
    auto query = store.db().OpenSql(QStringLiteral("select name from style where name=?"), {tricky});
    ASSERT_TRUE(query.has_value());
    ASSERT_TRUE(query->next());
    EXPECT_EQ(query->value(0).toString(), tricky);
}

TEST(Database, FailedTransactionLeavesNothing) {
    StoreFixture store;
    Status status = store.db().inTransaction([&]() -> Status {
        store.db().ExecSql(QStringLiteral("insert into style values('a', 'b')"));
        return Status::failure(QStringLiteral("stop"));
    });
    EXPECT_FALSE(status.ok());
    auto query = store.db().OpenSql(QStringLiteral("select count(*) from style"));
    ASSERT_TRUE(query && query->next());
    EXPECT_EQ(query->value(0).toInt(), 0);
}
