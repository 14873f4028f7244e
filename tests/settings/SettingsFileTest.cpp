#include "settings/ColorText.h"
#include "settings/SettingsFile.h"

#include "common/TextDecoding.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

namespace {

Settings loadFrom(const TempFolder &folder) { return loadSettingsFile(ProgramFolder(folder.path())).settings; }

void writeIni(const TempFolder &folder, const QByteArray &bytes) { folder.write(QStringLiteral("softpara.ini"), bytes); }

} // namespace

TEST(SettingsFile, MissingFileGivesTheDefaults) {
    TempFolder folder;
    const Settings settings = loadFrom(folder);
    EXPECT_EQ(settings.savepath, folder.path() + QStringLiteral("二维码/"));
    EXPECT_EQ(settings.height, QStringLiteral("300"));
    EXPECT_EQ(settings.width, QStringLiteral("300"));
    EXPECT_EQ(settings.picturetype, QStringLiteral(".JPG"));
    EXPECT_EQ(settings.codecolorfrom, QStringLiteral("统一颜色"));
    EXPECT_EQ(settings.backcolorfrom, QStringLiteral("统一颜色"));
    EXPECT_EQ(settings.codecolor, QColor(Qt::black));
    EXPECT_EQ(settings.backcolor, QColor(Qt::white));
    EXPECT_TRUE(settings.selectlogo.isEmpty() && settings.codecolorpicture.isEmpty() && settings.backcolorpicture.isEmpty());
    EXPECT_FALSE(settings.logotransparent || settings.backstretch || settings.codewhitetransparent);
    EXPECT_EQ(settings.doctype, QStringLiteral("单项文本"));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("softpara.ini")))) << "loading writes nothing";
}

TEST(SettingsFile, DefaultsSaveAndLoadBackUnchanged) {
    TempFolder folder;
    const ProgramFolder program(folder.path());
    const Settings defaults = Settings::defaults(program);
    ASSERT_TRUE(saveSettingsFile(defaults, program).ok());
    const QString text = QString::fromUtf8(folder.read(QStringLiteral("softpara.ini")));
    for (const char *line : {"codecolor=000000000", "backcolor=255255255", "logotransparent=0", "backstretch=0",
                             "codewhitetransparent=0", "selectlogo=\r\n"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line;
    EXPECT_FALSE(text.contains(QStringLiteral("doctype"))) << "saving leaves the content type alone";
    EXPECT_EQ(loadFrom(folder), defaults);
    EXPECT_FALSE(QDir(folder.path()).entryList(QDir::Files).contains(QStringLiteral("softpara.ini.tmp")));
}

TEST(SettingsFile, ValuesAsTheFileHoldsThem) {
    struct Case {
        const char *line;
        const char *key;
        const char *expectedText; // settingText after loading
    };
    const Case cases[] = {
        {"codecolor=255128000", "codecolor", "255128000"},
        {"codecolor=300000000", "codecolor", "044000000"}, // each group keeps its low eight bits
        {"codecolor=255128000999", "codecolor", "255128000"},
        {"picturetype=.bmp", "picturetype", ".BMP"},
        {"picturetype=.png", "picturetype", ""},
        {"codecolorfrom=图片颜色", "codecolorfrom", "图片颜色"},
        {"backcolorfrom=别的", "backcolorfrom", ""},
        {"logotransparent=7", "logotransparent", "1"},
        {"backstretch=-1", "backstretch", "1"},
        {"backstretch=yes", "backstretch", "0"}, // not an integer: the default
        {"height=abc", "height", "abc"},        // the run checks sizes itself
        {"savepath=", "savepath", ""},          // the main window fills it in later
        {"savepath=/srv/二维码", "savepath", "/srv/二维码/"},
    };
    for (const Case &c : cases) {
        TempFolder folder;
        writeIni(folder, QByteArray("[softset]\n") + c.line + "\n");
        EXPECT_EQ(settingText(loadFrom(folder), QString::fromLatin1(c.key)), QString::fromUtf8(c.expectedText)) << c.line;
    }
}

TEST(SettingsFile, BadColourFallsBackAndTheKeysAfterItStillLoad) {
    TempFolder folder;
    writeIni(folder, "[softset]\ncodecolor=12x456789\nbackcolor=0102\nbackstretch=1\n[tempdata]\ndoctype=电话\n");
    const LoadedSettings loaded = loadSettingsFile(ProgramFolder(folder.path()));
    EXPECT_EQ(loaded.settings.codecolor, QColor(Qt::black));
    EXPECT_EQ(loaded.settings.backcolor, QColor(Qt::white));
    EXPECT_TRUE(loaded.settings.backstretch);
    EXPECT_EQ(loaded.settings.doctype, QStringLiteral("电话"));
    EXPECT_EQ(loaded.warnings.size(), 2);
}

TEST(SettingsFile, WindowsGbkFileLoadsAndIsRewrittenInUtf8KeepingOtherKeys) {
    TempFolder folder;
    writeIni(folder, "[SOFTSET]\r\nSavePath=" + toGbk(QStringLiteral("D:\\二维码\\")) + "\r\nHEIGHT=480\r\n"
                     "[tempdata]\r\ndoctype=" + toGbk(QStringLiteral("名片--VCARD")) + "\r\n[user]\r\nkeep=" +
                     toGbk(QStringLiteral("保留")) + "\r\n");
    const ProgramFolder program(folder.path());
    Settings settings = loadFrom(folder);
    EXPECT_EQ(settings.savepath, QStringLiteral("D:\\二维码\\"));
    EXPECT_EQ(settings.height, QStringLiteral("480"));
    EXPECT_EQ(settings.doctype, QStringLiteral("名片--VCARD"));

    settings.width = QStringLiteral("640");
    ASSERT_TRUE(saveSettingsFile(settings, program).ok());
    const QByteArray saved = folder.read(QStringLiteral("softpara.ini"));
    EXPECT_TRUE(isValidUtf8(saved));
    EXPECT_TRUE(saved.contains(QStringLiteral("keep=保留").toUtf8()));
    EXPECT_EQ(loadFrom(folder), settings);
}

TEST(SettingsFile, ContentTypeIsWrittenAloneAndAtOnce) {
    TempFolder folder;
    const ProgramFolder program(folder.path());
    writeIni(folder, "[softset]\nheight=123\n");
    ASSERT_TRUE(saveContentType(QStringLiteral("电话"), program).ok());
    const Settings settings = loadFrom(folder);
    EXPECT_EQ(settings.doctype, QStringLiteral("电话"));
    EXPECT_EQ(settings.height, QStringLiteral("123"));
}

TEST(SettingsFile, UnwritableFolderIsReported) {
    TempFolder folder;
    const ProgramFolder missing(folder.file(QStringLiteral("no such folder")));
    const Status saved = saveSettingsFile(Settings::defaults(missing), missing);
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().contains(QStringLiteral("softpara.ini")));
}

TEST(Settings, ApplyMakesTheDialogsChecks) {
    struct Case {
        const char *key;
        const char *value;
        bool accepted;
        const char *stored;
    };
    const Case cases[] = {
        {"height", "500", true, "500"},      {"height", "-5", false, ""},     {"width", "3a", false, ""},
        {"picturetype", ".bmp", true, ".BMP"}, {"picturetype", ".png", false, ""},
        {"codecolorfrom", "图片颜色", true, "图片颜色"}, {"codecolor", "255128000", true, "255128000"},
        {"codecolor", "red", false, ""},     {"backstretch", "1", true, "1"}, {"backstretch", "2", false, ""},
        {"savepath", "/tmp/输出", true, "/tmp/输出/"}, {"selectlogo", "", true, ""},
        {"selectlogo", "/no/such/logo.jpg", false, ""}, {"nosuchkey", "1", false, ""},
    };
    for (const Case &c : cases) {
        Settings settings;
        const Status status = applySetting(settings, QString::fromLatin1(c.key), QString::fromUtf8(c.value));
        EXPECT_EQ(status.ok(), c.accepted) << c.key << "=" << c.value;
        if (c.accepted)
            EXPECT_EQ(settingText(settings, QString::fromLatin1(c.key)), QString::fromUtf8(c.stored)) << c.key;
        else
            EXPECT_FALSE(status.error().isEmpty());
    }
}

TEST(ColorText, ConvertsBothWays) {
    EXPECT_EQ(colorToRgbText(QColor(255, 128, 0)), QStringLiteral("255128000"));
    EXPECT_EQ(colorToRgbText(QColor(1, 2, 3)), QStringLiteral("001002003"));
    EXPECT_EQ(rgbTextToColor(QStringLiteral("255128000")), QColor(255, 128, 0));
    EXPECT_FALSE(rgbTextToColor(QStringLiteral("25512800")).has_value());
    EXPECT_FALSE(rgbTextToColor(QStringLiteral("abc000000")).has_value());
}
