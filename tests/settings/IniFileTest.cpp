#include "settings/IniFile.h"

#include "common/TextDecoding.h"

#include <gtest/gtest.h>

using namespace kodrix;

TEST(IniFile, KeysAndSectionsIgnoreCaseAndUnknownLinesSurvive) {
    IniFile ini = IniFile::parse("; written by hand\r\n[SoftSet]\r\nHeight = 480 \r\n[other]\r\nx=1\r\n");
    EXPECT_EQ(ini.value(QStringLiteral("softset"), QStringLiteral("HEIGHT")), QStringLiteral("480"));
    EXPECT_FALSE(ini.value(QStringLiteral("softset"), QStringLiteral("x")).has_value());

    ini.setValue(QStringLiteral("softset"), QStringLiteral("height"), QStringLiteral("500"));
    ini.setValue(QStringLiteral("softset"), QStringLiteral("width"), QStringLiteral("300"));
    ini.setValue(QStringLiteral("tempdata"), QStringLiteral("doctype"), QStringLiteral("电话"));
    EXPECT_EQ(QString::fromUtf8(ini.serialize()),
              QStringLiteral("; written by hand\r\n[SoftSet]\r\nHeight=500\r\nwidth=300\r\n"
                             "[other]\r\nx=1\r\n[tempdata]\r\ndoctype=电话\r\n"));
}

TEST(IniFile, LongValuesAreCutAt2047Bytes) {
    const QByteArray line = "[a]\nk=" + QByteArray(3000, 'x') + "\nn=" + QString(1000, QChar(0x4E2D)).toUtf8() + "\n";
    IniFile ini = IniFile::parse(line);
    EXPECT_EQ(ini.value(QStringLiteral("a"), QStringLiteral("k"))->size(), 2047);
    // Cut on a character boundary: 682 three-byte characters fit.
    EXPECT_EQ(ini.value(QStringLiteral("a"), QStringLiteral("n"))->size(), 682);
}

TEST(IniFile, GbkFileFromAWindowsInstallIsRead) {
    const QByteArray windows = "[softset]\r\nsavepath=" + toGbk(QStringLiteral("D:\\二维码\\")) + "\r\n";
    IniFile ini = IniFile::parse(windows);
    EXPECT_EQ(ini.value(QStringLiteral("softset"), QStringLiteral("savepath")), QStringLiteral("D:\\二维码\\"));
}
