#include "support/CliRunner.h"

#include "support/TempFolder.h"

#include <QProcess>

namespace kodrix::test {

CliRun runCli(const QString &programFolder, const QString &runtimeFolder, const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    process.setProcessEnvironment(environment);
    process.start(builtProgramFolder() + QStringLiteral("kodrix-cli"),
                  QStringList{QStringLiteral("--program-folder"), programFolder} + arguments);
    const bool finished = process.waitForFinished(120000);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace kodrix::test
