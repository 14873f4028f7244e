// Entry of the desktop program: hand-over from an older release, the single-instance
// rule, the required files, then the windows and the event loop.
#include "app/CloseRequestServer.h"
#include "app/RequiredFiles.h"
#include "app/SelfReplace.h"
#include "app/Workspace.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Messages.h"
#include "common/SingleInstance.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

using namespace kodrix;

namespace {

// After a hand-over the older release may still be ending; wait a little for its lock.
Result<SingleInstanceLock> acquireInstanceLock(bool afterHandOver) {
    const int attempts = afterHandOver ? 100 : 1;
    for (int i = 1;; ++i) {
        auto lock = SingleInstanceLock::acquire();
        if (lock || i >= attempts)
            return lock;
        QThread::msleep(100);
    }
}

} // namespace

int main(int argc, char **argv) {
    SingleInstanceLock::exportRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kodrix"));

    const QString executable = QCoreApplication::applicationFilePath();
    const bool handOver = isReplacementExecutable(QFileInfo(executable).fileName());
    if (handOver) {
        requestRunningInstanceClose(SingleInstanceLock::closeServerName(), std::chrono::seconds(30));
        if (Status replaced = replaceInstalledExecutable(executable); !replaced)
            showMessage(replaced.error());
    }

    auto lock = acquireInstanceLock(handOver);
    if (!lock) {
        showMessage(lock.error());
        return 0;
    }

    const ProgramFolder folder = ProgramFolder::ofExecutable();
    const QStringList missing = missingRequiredFileMessages(folder);
    for (const QString &message : missing)
        showMessage(message);

    LoadedSettings loaded = loadSettingsFile(folder);
    Settings settings = loaded.settings;
    for (const QString &warning : loaded.warnings)
        showMessage(warning);

    Workspace workspace(folder);
    MainWindow window(workspace, settings);
    CloseRequestServer closeServer(SingleInstanceLock::closeServerName(), [&window] { window.close(); });

    window.show();
    if (!missing.isEmpty())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
