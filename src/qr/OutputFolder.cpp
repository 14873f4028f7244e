#include "qr/OutputFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kodrix {

namespace {

// `outer` is `inner` or one of its parents; both are canonical paths.
bool holds(const QString &outer, const QString &inner) {
    if (inner == outer)
        return true;
    const QString prefix = outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/');
    return inner.startsWith(prefix);
}

QString canonical(const QString &path) { return QFileInfo(path).canonicalFilePath(); }

QString refusal(const QString &folder, const QString &what) {
    return QStringLiteral("二维码保存目录“%1”是%2，不能清空，请在软件设置里另选保存目录！").arg(folder, what);
}

void deleteContents(const QString &folder) {
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (entry.isDir() && !entry.isSymLink()) {
            deleteContents(path);
            QDir().rmdir(path); // stays when something in it could not be deleted
        } else {
            QFile::remove(path); // a link goes, its target stays
        }
    }
}

} // namespace

Status checkOutputFolder(const QString &folder, const ProgramFolder &programFolder) {
    const QString target = canonical(folder);
    if (target.isEmpty()) // nothing there yet, so nothing to delete
        return {};
    if (target == QDir::rootPath())
        return Status::failure(refusal(folder, QStringLiteral("文件系统的根目录")));
    const QString home = canonical(QDir::homePath());
    if (!home.isEmpty() && holds(target, home))
        return Status::failure(refusal(folder, QStringLiteral("用户主目录或包含用户主目录的目录")));
    const QString program = canonical(programFolder.path());
    if (!program.isEmpty() && holds(target, program))
        return Status::failure(refusal(folder, QStringLiteral("程序目录或包含程序目录的目录")));
    return {};
}

Status emptyOutputFolder(const QString &folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        deleteContents(folder);
    else if (!QDir().mkpath(folder))
        return Status::failure(QStringLiteral("无法创建二维码保存目录：%1").arg(folder));
    return {};
}

} // namespace kodrix
