#include "app/RequiredFiles.h"
#include "app/Workspace.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kodrix;
using namespace kodrix::test;

TEST(Workspace, FirstShowingMakesTheWorkingFoldersButNotTheOutputFolder) {
    TempFolder folder;
    Workspace workspace{ProgramFolder(folder.path())};
    Settings settings;
    settings.savepath.clear();
    workspace.prepareFolders(settings);
    EXPECT_EQ(settings.savepath, folder.path() + QStringLiteral("二维码/"));
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("样式文件"))).exists());
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("tempfile"))).exists());
    EXPECT_FALSE(QDir(folder.file(QStringLiteral("二维码"))).exists());

    settings.savepath = QStringLiteral("/elsewhere/");
    workspace.prepareFolders(settings);
    EXPECT_EQ(settings.savepath, QStringLiteral("/elsewhere/"));
}

TEST(Workspace, OpeningUpgradesListsStylesAndReadsTheList) {
    TempFolder folder;
    ASSERT_TRUE(writeFreshDatabase(folder.file(QStringLiteral("data.mdb"))));
    folder.write(QStringLiteral("样式文件/标签.fr3"), "<TfrxReport/>");
    Workspace workspace{ProgramFolder(folder.path())};
    ASSERT_TRUE(workspace.openDatabase().ok());
    ASSERT_EQ(workspace.styles().size(), 1);
    EXPECT_EQ(workspace.styles().front().name, QStringLiteral("标签"));
    EXPECT_TRUE(workspace.records()->isEmpty());
}

TEST(Workspace, BrokenDatabaseIsReportedAndLeavesEmptyLists) {
    struct Case {
        const char *name;
        QByteArray content; // empty: no file at all
        const char *expected;
    };
    const Case cases[] = {
        {"missing", {}, "data.mdb"},
        {"not a database", QByteArray(4096, 'x'), "not a database"},
    };
    for (const Case &c : cases) {
        TempFolder folder;
        if (!c.content.isEmpty())
            folder.write(QStringLiteral("data.mdb"), c.content);
        Workspace workspace{ProgramFolder(folder.path())};
        const Status opened = workspace.openDatabase();
        ASSERT_FALSE(opened.ok()) << c.name;
        EXPECT_TRUE(opened.error().contains(QString::fromLatin1(c.expected))) << opened.error().toStdString();
        EXPECT_FALSE(workspace.isOpen());
        EXPECT_EQ(workspace.records(), nullptr);
    }
}

TEST(RequiredFiles, EveryMissingFileHasItsMessageInOrder) {
    TempFolder folder;
    EXPECT_EQ(missingRequiredFileMessages(ProgramFolder(folder.path())),
              (QStringList{QStringLiteral("data.mdb文件丢失，软件无法运行，重新安装软件可以解决此问题。"),
                           QStringLiteral("PtQREncode.dll文件丢失，软件无法运行，重新安装软件可以解决此问题。"),
                           QStringLiteral("PtImageRW.dll文件丢失，软件无法运行，重新安装软件可以解决此问题。")}));
    folder.write(QStringLiteral("PtQREncode.dll"), "x");
    EXPECT_EQ(missingRequiredFileMessages(ProgramFolder(folder.path())).size(), 2);
}
