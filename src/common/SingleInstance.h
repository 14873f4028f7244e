#pragma once

#include "common/Result.h"

#include <QString>

#include <memory>

namespace kodrix {

// The one-instance-per-user rule. The lock is an flock on a file with a fixed name in the
// user's runtime folder, so the kernel releases it when the holder dies, even by a crash.
class SingleInstanceLock {
public:
    SingleInstanceLock(SingleInstanceLock &&) noexcept;
    SingleInstanceLock &operator=(SingleInstanceLock &&) noexcept;
    ~SingleInstanceLock();

    // Takes the lock, or fails with the message a second instance shows.
    static Result<SingleInstanceLock> acquire();

    // The user's runtime folder ($XDG_RUNTIME_DIR, else a private folder under /tmp).
    static QString runtimeFolder();
    // Points $XDG_RUNTIME_DIR at runtimeFolder() when it is unset, so that Qt and the lock
    // agree on one folder. Call before the application object is made.
    static void exportRuntimeFolder();
    static QString lockFilePath();
    // Name of the local socket on which a running instance takes close requests.
    static QString closeServerName();

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

inline const char *const kAlreadyRunningMessage = "已经有一个实例在运行";

} // namespace kodrix
