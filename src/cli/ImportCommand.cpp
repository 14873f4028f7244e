// kodrix-cli import FILE
#include "cli/CliContext.h"
#include "import/Import.h"

#include <QFileInfo>

namespace kodrix::cli {

int runImport(CliContext &context, const QStringList &arguments) {
    if (arguments.size() != 1) {
        printError(QStringLiteral("用法：kodrix-cli import FILE"));
        return 2;
    }
    const QString file = QFileInfo(arguments.front()).absoluteFilePath();
    if (!importerFor(file)) {
        // The program does nothing at all for such a file; the tool says why it did nothing.
        printError(QStringLiteral("未导入：只能导入扩展名为 .xls 或 .txt 的文件：") + file);
        return 1;
    }
    if (!context.openWorkspace())
        return 1;
    ImportTarget target{*context.workspace().records(), context.settings(), context.folder()};
    const ImportOutcome outcome = importFile(file, target);
    if (outcome.status != ImportOutcome::Status::Imported) {
        printError(outcome.message);
        return 1;
    }
    printLine(outcome.message);
    return 0;
}

} // namespace kodrix::cli
