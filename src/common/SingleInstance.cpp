#include "common/SingleInstance.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kodrix {

QString SingleInstanceLock::runtimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(xdg).exists())
        return QDir::cleanPath(xdg);
    const QString fallback = QStringLiteral("/tmp/kodrix-%1").arg(getuid());
    QDir().mkpath(fallback);
    QFile::setPermissions(fallback, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return fallback;
}

void SingleInstanceLock::exportRuntimeFolder() {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder()));
}

QString SingleInstanceLock::lockFilePath() { return runtimeFolder() + QStringLiteral("/kodrix.lock"); }

QString SingleInstanceLock::closeServerName() { return runtimeFolder() + QStringLiteral("/kodrix.sock"); }

Result<SingleInstanceLock> SingleInstanceLock::acquire() {
    const QByteArray path = QFile::encodeName(lockFilePath());
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result<SingleInstanceLock>::failure(QStringLiteral("无法创建锁文件：") + lockFilePath());
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Result<SingleInstanceLock>::failure(QString::fromUtf8(kAlreadyRunningMessage));
    }
    return SingleInstanceLock(fd);
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock &&other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

SingleInstanceLock &SingleInstanceLock::operator=(SingleInstanceLock &&other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kodrix
