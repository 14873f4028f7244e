#include "common/TextDecoding.h"

#include <gtest/gtest.h>

using namespace kodrix;

TEST(TextDecoding, Utf8WhenValidElseGbk) {
    struct Case {
        const char *name;
        QByteArray bytes;
        QString expected;
    };
    const QByteArray gbk("\xC4\xE3\xBA\xC3", 4); // 你好 in GBK, not valid UTF-8
    const Case cases[] = {
        {"ascii", "abc=1", QStringLiteral("abc=1")},
        {"utf8", QStringLiteral("你好😀").toUtf8(), QStringLiteral("你好😀")},
        {"utf8 with bom", "\xEF\xBB\xBF" + QStringLiteral("名片").toUtf8(), QStringLiteral("名片")},
        {"gbk", gbk, QStringLiteral("你好")},
        {"empty", QByteArray(), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeUtf8OrGbk(c.bytes), c.expected) << c.name;
}

TEST(TextDecoding, GbkRoundTripKeepsChineseAndMarksLostCharacters) {
    EXPECT_EQ(fromGbk(toGbk(QStringLiteral("二维码 abc"))), QStringLiteral("二维码 abc"));
    // An emoji has no GBK form: it becomes one "?" and the text after it survives.
    EXPECT_EQ(fromGbk(toGbk(QStringLiteral("a😀b"))), QStringLiteral("a?b"));
}

TEST(TextDecoding, TrimsOnlyCodesUpToSpace) {
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral("\t\r\n 1.0 \x01")), QStringLiteral("1.0"));
    // A full-width space is text, not a blank.
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral("\u3000名\u3000")), QStringLiteral("\u3000名\u3000"));
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral("   ")), QString());
}
