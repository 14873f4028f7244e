#include "qr/ContentType.h"
#include "qr/Payload.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace kodrix;

namespace {

Record recordWith(std::initializer_list<std::pair<Column, QString>> values) {
    Record record;
    for (const auto &[column, value] : values)
        record[column] = value;
    return record;
}

const QString kEmptyVcard = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:\r\nFN:\r\nNICKNAME:\r\nORG:\r\nTITLE:\r\nTEL;WORK;VOICE:\r\n"
    "TEL;HOME;VOICE:\r\nTEL;CELL;VOICE:\r\nTEL;WORK;FAX:\r\nTEL;HOME;FAX:\r\nADR;WORK:\r\nADR;HOME:\r\n"
    "NOTE:QQ :\r\nEMAIL;PREF;INTERNET:\r\nURL:;\r\nEND:VCARD");

} // namespace

TEST(Payload, AllEmptyRecordOfEveryType) {
    const Record empty;
    struct Case {
        const char *type;
        QString expected;
    };
    const Case cases[] = {
        {"单项文本", QString()},
        {"多项文本", QString()},
        {"名片--MECARD", QStringLiteral("MECARD:N:;ORG:;TIL:;TEL:;NOTE:QQ :;EMAIL:;ADR:;URL:;;")},
        {"名片--VCARD", kEmptyVcard},
        {"电话", QString()},
        {"网址", QString()},
        {"邮箱", QString()},
        {"短信", QStringLiteral("smsto::")},
        {"Wifi配置", QStringLiteral("WIFI:T:;S:;P:;;")},
        {"wifi配置", QString()}, // names are matched exactly
        {"单项文本 ", QString()},
        {"", QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(buildPayload(QString::fromUtf8(c.type), empty, kChannelOwn), c.expected) << c.type;
}

TEST(Payload, ExamplesOfEachType) {
    struct Case {
        const char *type;
        Record record;
        QString expected;
    };
    const Case cases[] = {
        {"单项文本", recordWith({{Column::wenben, QStringLiteral("  你好 😀\\;")}}), QStringLiteral("  你好 😀\\;")},
        {"多项文本", recordWith({{Column::wenben, QStringLiteral("姓名：张三\r\n电话：1")}}),
         QStringLiteral("姓名：张三\r\n电话：1")},
        {"名片--MECARD", recordWith({{Column::xingming, QStringLiteral("ABC")}, {Column::dianhua, QStringLiteral("123")}}),
         QStringLiteral("MECARD:N:ABC;ORG:;TIL:;TEL:123;NOTE:QQ :;EMAIL:;ADR:;URL:;;")},
        {"名片--MECARD", recordWith({{Column::xingming, QStringLiteral("王;五")}, {Column::dizhi, QStringLiteral("a:b,c\\\"d")}}),
         QStringLiteral("MECARD:N:王\\;五;ORG:;TIL:;TEL:;NOTE:QQ :;EMAIL:;ADR:a\\:b\\,c\\\\\\\"d;URL:;;")},
        {"电话", recordWith({{Column::dianhua, QStringLiteral("13800138000")}}), QStringLiteral("13800138000")},
        {"网址", recordWith({{Column::wangzhi, QStringLiteral("http://例子.cn/a?b=1;c")}}),
         QStringLiteral("http://例子.cn/a?b=1;c")},
        {"邮箱", recordWith({{Column::email, QStringLiteral("a@b.cn")}}), QStringLiteral("a@b.cn")},
        {"短信", recordWith({{Column::shoujihaoma, QStringLiteral("10086")}, {Column::xinxi, QStringLiteral("hello")}}),
         QStringLiteral("smsto:10086:hello")},
        {"短信", recordWith({{Column::xinxi, QStringLiteral("a:b;c")}}), QStringLiteral("smsto::a:b;c")},
        {"Wifi配置",
         recordWith({{Column::jiamileixing, QStringLiteral("WPA2-AES")}, {Column::zhanghao, QStringLiteral("office")},
                     {Column::mima, QStringLiteral("pass")}}),
         QStringLiteral("WIFI:T:WPA2-AES;S:office;P:pass;;")},
        {"Wifi配置",
         recordWith({{Column::jiamileixing, QStringLiteral("WPA")}, {Column::zhanghao, QStringLiteral("办公室,2楼")},
                     {Column::mima, QStringLiteral("p;a:s\\s\"")}}),
         QStringLiteral("WIFI:T:WPA;S:办公室\\,2楼;P:p\\;a\\:s\\\\s\\\";;")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(buildPayload(QString::fromUtf8(c.type), c.record, kChannelOwn), c.expected) << c.type;
}

TEST(Payload, VcardLinesAndChannel) {
    const Record card = recordWith({{Column::xingming, QStringLiteral("张三")},
                                    {Column::cell, QStringLiteral("139")},
                                    {Column::workaddr, QStringLiteral("北京;朝阳")},
                                    {Column::gerenzhuye, QStringLiteral("http://a.cn")}});
    const QString own = buildPayload(QStringLiteral("名片--VCARD"), card, kChannelOwn);
    const QStringList ownLines = own.split(QStringLiteral("\r\n"));
    ASSERT_EQ(ownLines.size(), 18);
    EXPECT_EQ(ownLines[2], QStringLiteral("N:张三"));
    EXPECT_EQ(ownLines[3], QStringLiteral("FN:张三"));
    EXPECT_EQ(ownLines[9], QStringLiteral("TEL;CELL;VOICE:139"));
    EXPECT_EQ(ownLines[12], QStringLiteral("ADR;WORK:北京;朝阳")); // vCard values are not escaped
    EXPECT_EQ(ownLines[16], QStringLiteral("URL:http://a.cn;"));
    EXPECT_EQ(ownLines[17], QStringLiteral("END:VCARD"));
    EXPECT_FALSE(own.contains(QLatin1Char('\n') + QStringLiteral("END:VCARD\r\n")));

    const QStringList tervikLines = buildPayload(QStringLiteral("名片--VCARD"), card, kChannelTervik).split(QStringLiteral("\r\n"));
    ASSERT_EQ(tervikLines.size(), 17);
    EXPECT_FALSE(tervikLines.contains(QStringLiteral("FN:张三")));
}

TEST(Payload, BytesAreUtf8StraightFromUnicode) {
    // A character outside GBK and an emoji survive into the encoder's bytes.
    const QString text = QStringLiteral("𠀀😀€");
    EXPECT_EQ(payloadBytes(text), QByteArray("\xF0\xA0\x80\x80\xF0\x9F\x98\x80\xE2\x82\xAC"));
}
