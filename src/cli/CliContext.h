#pragma once

#include "app/Workspace.h"
#include "common/ProgramFolder.h"
#include "settings/Settings.h"

#include <QStringList>

#include <cstdio>

namespace kodrix::cli {

// What every command works on: the program folder, its live settings and, on demand, the
// opened workspace.
class CliContext {
public:
    explicit CliContext(ProgramFolder folder);

    const ProgramFolder &folder() const { return workspace_.folder(); }
    Settings &settings() { return settings_; }
    // Prepares the folders and opens the database; false (with a message on stderr) on failure.
    bool openWorkspace();
    Workspace &workspace() { return workspace_; }

private:
    Workspace workspace_;
    Settings settings_;
};

// Output helpers: stdout for results, stderr for errors, both UTF-8.
void printLine(const QString &text);
void printError(const QString &text);

// One command of the tool: its name, a one-line usage text and its handler.
struct Command {
    const char *name;
    const char *usage;
    int (*run)(CliContext &context, const QStringList &arguments);
};

int runSettings(CliContext &context, const QStringList &arguments);
int runList(CliContext &context, const QStringList &arguments);
int runPayloads(CliContext &context, const QStringList &arguments);
int runGenerate(CliContext &context, const QStringList &arguments);
int runVerify(CliContext &context, const QStringList &arguments);
int runImport(CliContext &context, const QStringList &arguments);

} // namespace kodrix::cli
