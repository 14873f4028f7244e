#include "app/SelfReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <functional>

namespace kodrix {

namespace {
// Executables carry no suffix on this platform.
const QString kExecutableSuffix;

bool retry(const RetryPolicy &policy, const std::function<bool()> &attempt) {
    for (int i = 0; i < policy.attempts; ++i) {
        if (attempt())
            return true;
        QThread::msleep(static_cast<unsigned long>(policy.pause.count()));
    }
    return false;
}
} // namespace

bool isReplacementExecutable(const QString &executableFileName) {
    return executableFileName.contains(kDownloadedExecutableName + kExecutableSuffix, Qt::CaseSensitive);
}

bool requestRunningInstanceClose(const QString &serverName, std::chrono::milliseconds timeout) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(static_cast<int>(timeout.count())))
        return false;
    socket.write("close\n");
    socket.flush();
    // The answer comes once the running instance's main window has processed the request.
    while (socket.state() == QLocalSocket::ConnectedState && !socket.canReadLine())
        if (!socket.waitForReadyRead(static_cast<int>(timeout.count())))
            break;
    return socket.canReadLine() && socket.readLine().trimmed() == "closed";
}

Status replaceInstalledExecutable(const QString &runningExecutable, const RetryPolicy &policy) {
    const QFileInfo running(runningExecutable);
    const QString installed = running.absolutePath() + QLatin1Char('/') + kInstalledExecutableName + kExecutableSuffix;
    if (running.absoluteFilePath() == installed)
        return {};

    if (!retry(policy, [&] { return !QFile::exists(installed) || QFile::remove(installed); }))
        return Status::failure(QStringLiteral("无法删除旧版本程序：%1，请关闭正在运行的旧版本后重试。").arg(installed));
    if (!retry(policy, [&] { return QFile::exists(installed) || QFile::rename(running.absoluteFilePath(), installed); }))
        return Status::failure(QStringLiteral("无法用新版本替换程序：%1，请检查程序目录是否可写。").arg(installed));
    return {};
}

} // namespace kodrix
