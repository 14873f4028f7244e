#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kodrix {

QString withTrailingSlash(const QString &folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

ProgramFolder::ProgramFolder(const QString &directory)
    : path_(withTrailingSlash(QDir::cleanPath(QFileInfo(directory).absoluteFilePath()))) {}

ProgramFolder ProgramFolder::ofExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

} // namespace kodrix
