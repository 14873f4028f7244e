#include "app/RequiredFiles.h"

#include <QFileInfo>

namespace kodrix {

QStringList missingRequiredFileMessages(const ProgramFolder &folder) {
    QStringList messages;
    for (const QString &name : kRequiredFiles)
        if (!QFileInfo::exists(folder.file(name)))
            messages << name + QStringLiteral("文件丢失，软件无法运行，重新安装软件可以解决此问题。");
    return messages;
}

} // namespace kodrix
