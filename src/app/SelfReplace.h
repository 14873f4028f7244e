#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"

#include <QString>

#include <chrono>

namespace kodrix {

inline const QString kInstalledExecutableName = QStringLiteral("Kodrix");
inline const QString kDownloadedExecutableName = QStringLiteral("stup");

// True when the executable's file name marks a freshly downloaded release: it contains
// "stup" (case-sensitive, anywhere) followed by the platform's executable suffix.
bool isReplacementExecutable(const QString &executableFileName);

// Asks a running instance, over its local socket, to close its main window, and waits for
// its answer. Returns false when no instance answers (none is running).
bool requestRunningInstanceClose(const QString &serverName, std::chrono::milliseconds timeout);

struct RetryPolicy {
    std::chrono::milliseconds pause{100};
    int attempts = 100;
};

// Puts the running executable in place of "Kodrix" in its folder: deletes the installed
// executable, then renames the running one to it, each step retried with a pause and given
// up after a bound with a message.
Status replaceInstalledExecutable(const QString &runningExecutable, const RetryPolicy &policy = {});

} // namespace kodrix
