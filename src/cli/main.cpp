// kodrix-cli: the program's work without its windows, on one program folder.
#include "cli/CliContext.h"
#include "common/SingleInstance.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <array>

using namespace kodrix;
using namespace kodrix::cli;

namespace {

constexpr std::array kCommands = {
    Command{"settings", "settings [set KEY VALUE]  显示或修改软件设置", &runSettings},
    Command{"list", "list                      按列表顺序输出全部记录（每行一个 JSON 对象）", &runList},
    Command{"payloads", "payloads                  输出每条记录的二维码内容（每行一个 JSON 字符串）", &runPayloads},
    Command{"generate", "generate [--colour-at X,Y] [--background-at X,Y]  生成全部二维码图片", &runGenerate},
    Command{"verify", "verify                    识别上次生成的每张图片并与记录内容比较", &runVerify},
    Command{"import", "import FILE               导入 .xls 工作簿（替换列表）或 .txt 文本文件（追加）", &runImport},
};

int usage() {
    printError(QStringLiteral("用法：kodrix-cli [--program-folder DIR] COMMAND [ARGS]"));
    for (const Command &command : kCommands)
        printError(QStringLiteral("  ") + QString::fromUtf8(command.usage));
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    // Pictures are drawn without a display; the offscreen platform needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SingleInstanceLock::exportRuntimeFolder();
    QGuiApplication app(argc, argv);

    QStringList arguments = app.arguments().mid(1);
    QString folder = QCoreApplication::applicationDirPath();
    if (arguments.size() >= 2 && arguments[0] == u"--program-folder") {
        folder = arguments[1];
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty())
        return usage();

    const QString name = arguments.takeFirst();
    const Command *command = nullptr;
    for (const Command &candidate : kCommands)
        if (name == QLatin1String(candidate.name))
            command = &candidate;
    if (!command)
        return usage();

    auto lock = SingleInstanceLock::acquire();
    if (!lock) {
        printError(lock.error());
        return 1;
    }
    CliContext context{ProgramFolder(folder)};
    return command->run(context, arguments);
}
