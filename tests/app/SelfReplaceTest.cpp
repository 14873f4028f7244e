#include "app/SelfReplace.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

TEST(SelfReplace, MarkerIsACaseSensitiveSubstringOfTheFileName) {
    struct Case {
        const char *fileName;
        bool marked;
    };
    const Case cases[] = {{"stup", true},     {"mystup", true}, {"stup-2.1", true}, {"STUP", false},
                          {"Stup", false},    {"Kodrix", false}, {"st up", false}};
    for (const Case &c : cases)
        EXPECT_EQ(isReplacementExecutable(QString::fromLatin1(c.fileName)), c.marked) << c.fileName;
}

TEST(SelfReplace, NewReleaseTakesThePlaceOfTheInstalledOne) {
    for (bool installedPresent : {true, false}) {
        TempFolder folder;
        if (installedPresent)
            folder.write(QStringLiteral("Kodrix"), "old release");
        folder.write(QStringLiteral("stup"), "new release");
        ASSERT_TRUE(replaceInstalledExecutable(folder.file(QStringLiteral("stup"))).ok());
        EXPECT_EQ(folder.read(QStringLiteral("Kodrix")), QByteArray("new release"));
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("stup"))));
    }
}

TEST(SelfReplace, GivesUpWithAMessageWhenTheOldFileCannotBeRemoved) {
    TempFolder folder;
    // A non-empty folder in the way cannot be deleted as a file.
    folder.write(QStringLiteral("Kodrix/keep"), "x");
    folder.write(QStringLiteral("stup"), "new release");
    const Status status = replaceInstalledExecutable(folder.file(QStringLiteral("stup")), {std::chrono::milliseconds(1), 3});
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains(folder.file(QStringLiteral("Kodrix"))));
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("stup")))) << "the new release is kept for another try";
}
