#include "store/StoreFixture.h"

#include "store/SchemaUpgrade.h"

#include <gtest/gtest.h>

namespace kodrix::test {

StoreFixture::StoreFixture(bool legacy) {
    folder_.write(QStringLiteral("data.mdb"), QByteArray());
    database_ = reopen();
    if (!legacy) {
        EXPECT_TRUE(createFreshSchema(*database_).ok());
        return;
    }
    const char *statements[] = {
        "create table list (id text, mainid text, wenben text, xingming text, gongsi text, zhiwei text, "
        "dianhua text, qq text, email text, dizhi text, gerenzhuye text, wangzhi text, shoujihaoma text, "
        "xinxi text, zhanghao text, mima text, jiamileixing text, filename text, chuanzhi1 text, chuanzhi2 text, "
        "chuanzhi3 text, chuanzhi4 text, chuanzhi5 text, chuanzhi6 text, chuanzhi7 text, chuanzhi8 text, "
        "chuanzhi9 text, chuanzhi10 text)",
        "create table style (name text, lasttime text)",
        "create table ver (version text)",
    };
    for (const char *statement : statements)
        EXPECT_TRUE(database_->ExecSql(QString::fromLatin1(statement))) << database_->lastError().toStdString();
}

std::unique_ptr<Database> StoreFixture::reopen() const {
    auto opened = Database::open(dbFile());
    EXPECT_TRUE(opened.ok()) << opened.error().toStdString();
    return opened ? std::move(opened).value() : nullptr;
}

} // namespace kodrix::test
