// Starts the built program as real processes: one instance at a time, a crashed instance
// does not block the next start, and a downloaded release takes over from a running one.
#include "support/TempFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace kodrix::test;

namespace {

constexpr int kWaitMs = 20000;

// A program folder of its own with a copy of the built executable, and a runtime folder of
// its own, so the lock and the socket do not meet other test runs.
class ProgramCopy {
public:
    explicit ProgramCopy(bool withRequiredFiles = true) {
        copyExecutable(QStringLiteral("Kodrix"));
        if (withRequiredFiles) {
            writeFreshDatabase(folder.file(QStringLiteral("data.mdb")));
            for (const char *module : {"PtQREncode.dll", "PtImageRW.dll"})
                folder.write(QString::fromLatin1(module), "module");
        }
    }
    void copyExecutable(const QString &name) const {
        QFile::remove(folder.file(name));
        QFile::copy(builtProgramFolder() + QStringLiteral("Kodrix"), folder.file(name));
    }
    std::unique_ptr<QProcess> start(const QString &name) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KODRIX_MESSAGES"), QStringLiteral("stderr"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(folder.file(name), {});
        return process;
    }
    TempFolder folder;
    TempFolder runtime;
};

// Reads standard error until it holds `text` or the process ends.
bool waitForError(QProcess &process, const QString &text, QByteArray &seen) {
    QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        seen += process.readAllStandardError();
        if (QString::fromUtf8(seen).contains(text))
            return true;
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(100);
    }
    return false;
}

bool waitUntilShown(QProcess &process) {
    QByteArray seen;
    const bool shown = waitForError(process, QStringLiteral("main window shown"), seen);
    if (!shown)
        ADD_FAILURE() << "program did not show its window; stderr: " << seen.toStdString();
    return shown;
}

} // namespace

TEST(StartupProcess, SecondStartIsRefusedAndACrashDoesNotBlockTheNext) {
    ProgramCopy program;
    auto first = program.start(QStringLiteral("Kodrix"));
    ASSERT_TRUE(waitUntilShown(*first));

    auto second = program.start(QStringLiteral("Kodrix"));
    ASSERT_TRUE(second->waitForFinished(kWaitMs));
    const QString errors = QString::fromUtf8(second->readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("已经有一个实例在运行"))) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("main window shown")));
    EXPECT_EQ(first->state(), QProcess::Running) << "the running instance is not affected";

    first->kill(); // SIGKILL: no chance to clean up
    first->waitForFinished(kWaitMs);
    auto third = program.start(QStringLiteral("Kodrix"));
    EXPECT_TRUE(waitUntilShown(*third));
    third->kill();
    third->waitForFinished(kWaitMs);
}

TEST(StartupProcess, MissingRequiredFilesAreAllReportedInOrderAndTheProgramEnds) {
    ProgramCopy program(/*withRequiredFiles=*/false);
    auto process = program.start(QStringLiteral("Kodrix"));
    ASSERT_TRUE(process->waitForFinished(kWaitMs)) << "the program ends by itself";
    const QString errors = QString::fromUtf8(process->readAllStandardError());
    const qsizetype db = errors.indexOf(QStringLiteral("data.mdb文件丢失，软件无法运行，重新安装软件可以解决此问题。"));
    const qsizetype enc = errors.indexOf(QStringLiteral("PtQREncode.dll文件丢失，软件无法运行，重新安装软件可以解决此问题。"));
    const qsizetype img = errors.indexOf(QStringLiteral("PtImageRW.dll文件丢失，软件无法运行，重新安装软件可以解决此问题。"));
    EXPECT_TRUE(db >= 0 && db < enc && enc < img) << errors.toStdString();
}

TEST(StartupProcess, DownloadedReleaseClosesTheRunningOneAndTakesItsPlace) {
    struct Case {
        const char *name;
        bool replaces;
    };
    const Case cases[] = {{"stup", true}, {"mystup", true}, {"STUP", false}};
    for (const Case &c : cases) {
        ProgramCopy program;
        // The installed release carries a tail so that it can be told apart from the new one.
        {
            QFile old(program.folder.file(QStringLiteral("Kodrix")));
            ASSERT_TRUE(old.open(QIODevice::Append));
            old.write("old release");
        }
        const QString name = QString::fromLatin1(c.name);
        program.copyExecutable(name);
        const qint64 newSize = QFileInfo(program.folder.file(name)).size();

        auto running = program.start(QStringLiteral("Kodrix"));
        ASSERT_TRUE(waitUntilShown(*running));
        auto release = program.start(name);
        if (!c.replaces) {
            ASSERT_TRUE(release->waitForFinished(kWaitMs)) << c.name;
            EXPECT_TRUE(QString::fromUtf8(release->readAllStandardError()).contains(QStringLiteral("已经有一个实例在运行")));
            EXPECT_EQ(running->state(), QProcess::Running);
            running->kill();
            running->waitForFinished(kWaitMs);
            continue;
        }
        EXPECT_TRUE(running->waitForFinished(kWaitMs)) << c.name << ": the older release closes";
        EXPECT_TRUE(waitUntilShown(*release)) << c.name << ": the new release runs on with its window";
        EXPECT_FALSE(QFile::exists(program.folder.file(name)));
        EXPECT_EQ(QFileInfo(program.folder.file(QStringLiteral("Kodrix"))).size(), newSize) << c.name;
        release->kill();
        release->waitForFinished(kWaitMs);
    }
}

TEST(StartupProcess, DownloadedReleaseWithoutARunningOneJustTakesItsPlace) {
    ProgramCopy program;
    program.copyExecutable(QStringLiteral("stup"));
    auto release = program.start(QStringLiteral("stup"));
    ASSERT_TRUE(waitUntilShown(*release));
    EXPECT_FALSE(QFile::exists(program.folder.file(QStringLiteral("stup"))));
    EXPECT_TRUE(QFile::exists(program.folder.file(QStringLiteral("Kodrix"))));
    release->kill();
    release->waitForFinished(kWaitMs);
}
