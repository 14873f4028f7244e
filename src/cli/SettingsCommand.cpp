// kodrix-cli settings [set KEY VALUE]
#include "cli/CliContext.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsFile.h"

namespace kodrix::cli {

namespace {

void printSettings(const Settings &settings) {
    for (const SettingKey &entry : settingKeys()) {
        const QString key = QString::fromLatin1(entry.key);
        printLine(key + QLatin1Char('=') + settingText(settings, key));
    }
    printLine(QStringLiteral("doctype=") + settings.doctype);
}

} // namespace

int runSettings(CliContext &context, const QStringList &arguments) {
    if (arguments.isEmpty()) {
        Settings shown = context.settings();
        context.workspace().prepareFolders(shown);
        printSettings(shown);
        return 0;
    }
    if (arguments.size() != 3 || arguments[0] != u"set") {
        printError(QStringLiteral("用法：kodrix-cli settings [set KEY VALUE]"));
        return 2;
    }
    if (Status applied = applySetting(context.settings(), arguments[1], arguments[2]); !applied) {
        printError(applied.error());
        return 1;
    }
    if (Status saved = saveSettingsFile(context.settings(), context.folder()); !saved) {
        printError(saved.error());
        return 1;
    }
    printLine(QStringLiteral("保存成功！"));
    return 0;
}

} // namespace kodrix::cli
