#include "store/RecordSet.h"
#include "store/StoreFixture.h"

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

namespace {

Record record(const QString &id, const QString &text, const QString &file) {
    Record r;
    r[Column::id] = id;
    r[Column::mainid] = QStringLiteral("0");
    r[Column::wenben] = text;
    r[Column::filename] = file;
    return r;
}

QStringList fileNames(const RecordSet &set) {
    QStringList names;
    for (int row = 0; row < set.size(); ++row)
        names << set.at(row)[Column::filename];
    return names;
}

class RecordSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(set.requery().ok());
        // Two rows share one id, as rows inserted in one millisecond do.
        set.insert(record("20250101120000001", "苹果 apple", "3"));
        set.insert(record("20250101120000001", "banana", "1"));
        set.insert(record("20250101120000002", "cherry 樱桃", "2"));
        ASSERT_TRUE(set.batchUpdate().ok());
    }
    StoreFixture store;
    RecordSet set{store.db()};
};

} // namespace

TEST_F(RecordSetTest, InsertsAndDeletesStayPendingUntilTheBatchUpdate) {
    EXPECT_EQ(fileNames(set), (QStringList{"3", "1", "2"}));
    set.setCurrentRow(1);
    set.deleteCurrent();
    set.insert(record("x", "new", "4"));
    EXPECT_TRUE(set.hasPendingChanges());

    RecordSet other(store.db());
    ASSERT_TRUE(other.requery().ok());
    EXPECT_EQ(fileNames(other), (QStringList{"3", "1", "2"})) << "nothing is written before the batch update";

    ASSERT_TRUE(set.batchUpdate().ok());
    EXPECT_EQ(fileNames(set), (QStringList{"3", "2", "4"}));
    ASSERT_TRUE(other.requery().ok());
    EXPECT_EQ(fileNames(other), (QStringList{"3", "2", "4"}));
    EXPECT_EQ(set.currentRow(), 0);
}

TEST_F(RecordSetTest, ReplaceTableEmptiesAndStoresInOneStep) {
    set.insert(record("y", "only", "9"));
    ASSERT_TRUE(set.batchUpdate(RecordSet::BatchMode::ReplaceTable).ok());
    EXPECT_EQ(fileNames(set), (QStringList{"9"}));
}

TEST_F(RecordSetTest, FailedBatchUpdateWritesNothingAndKeepsThePendingRows) {
    set.insert(record("z", "pending", "5"));
    ASSERT_TRUE(store.db().ExecSql(QStringLiteral("create trigger refuse before insert on list "
                                                  "begin select raise(abort, 'refused'); end")));
    EXPECT_FALSE(set.batchUpdate(RecordSet::BatchMode::ReplaceTable).ok());
    EXPECT_TRUE(set.hasPendingChanges());
    RecordSet other(store.db());
    ASSERT_TRUE(other.requery().ok());
    EXPECT_EQ(fileNames(other), (QStringList{"3", "1", "2"}));
}

TEST_F(RecordSetTest, LocateContainingIsCaseSensitiveAndReturnsWhenNothingMatches) {
    struct Case {
        int startRow;
        const char *text;
        int expectedRow;
    };
    const Case cases[] = {
        {0, "an", 1},      // first row in list order that contains it
        {0, "樱桃", 2},
        {2, "Apple", 2},   // case matters: no match, back to the current row
        {2, "", 2},        // the empty text matches nothing
        {1, "nothing", 0}, // row 1 shares its id with row 0: back to the first row with that id
    };
    for (const Case &c : cases) {
        set.setCurrentRow(c.startRow);
        set.LocateContaining(Column::wenben, QString::fromUtf8(c.text));
        EXPECT_EQ(set.currentRow(), c.expectedRow) << c.text;
    }
}

TEST_F(RecordSetTest, LocatePrefixTakesTheSmallestMatchingValue) {
    set.insert(record("a", "b2", "10"));
    set.insert(record("b", "c", "11"));
    ASSERT_TRUE(set.batchUpdate().ok());
    set.setCurrentRow(4);
    EXPECT_TRUE(set.locatePrefix(Column::filename, QStringLiteral("1")));
    EXPECT_EQ(set.current()[Column::filename], QStringLiteral("1"));
    EXPECT_FALSE(set.locatePrefix(Column::filename, QStringLiteral("7")));
    EXPECT_EQ(set.current()[Column::filename], QStringLiteral("1"));
    EXPECT_TRUE(set.locatePrefix(Column::wenben, QStringLiteral("b")));
    EXPECT_EQ(set.current()[Column::wenben], QStringLiteral("b2")) << "b2 sorts before banana";
}

TEST_F(RecordSetTest, EveryColumnRoundTripsAsText) {
    Record full;
    for (const ColumnInfo &info : allColumns())
        full[info.column] = QStringLiteral("%1：值'\"\r\n😀").arg(QString::fromLatin1(info.name));
    set.insert(full);
    ASSERT_TRUE(set.batchUpdate().ok());
    RecordSet other(store.db());
    ASSERT_TRUE(other.requery().ok());
    EXPECT_EQ(other.at(other.size() - 1), full);
}
