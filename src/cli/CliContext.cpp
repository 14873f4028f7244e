#include "cli/CliContext.h"

#include "settings/SettingsFile.h"

namespace kodrix::cli {

CliContext::CliContext(ProgramFolder folder) : workspace_(std::move(folder)) {
    LoadedSettings loaded = loadSettingsFile(workspace_.folder());
    settings_ = loaded.settings;
    for (const QString &warning : loaded.warnings)
        printError(warning);
}

bool CliContext::openWorkspace() {
    workspace_.prepareFolders(settings_);
    if (Status opened = workspace_.openDatabase(); !opened) {
        printError(opened.error());
        return false;
    }
    return true;
}

void printLine(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

void printError(const QString &text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

} // namespace kodrix::cli
