#pragma once

#include <QString>
#include <QStringList>

namespace kodrix::test {

// One run of the built kodrix-cli.
struct CliRun {
    int exitCode = -1; // -1 when the tool crashed or did not end in time
    QString out;
    QString err;
};

// Runs the built kodrix-cli on `programFolder`, with `runtimeFolder` as its runtime folder
// so that its instance lock does not meet other test runs.
CliRun runCli(const QString &programFolder, const QString &runtimeFolder, const QStringList &arguments);

} // namespace kodrix::test
