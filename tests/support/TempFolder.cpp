#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kodrix::test {

TempFolder::TempFolder() : dir_(QDir::tempPath() + QStringLiteral("/kodrix 测试-XXXXXX")) {}

QString TempFolder::path() const { return dir_.path() + QLatin1Char('/'); }

void TempFolder::write(const QString &relative, const QByteArray &bytes) const {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile out(full);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempFolder::read(const QString &relative) const {
    QFile in(file(relative));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QString builtProgramFolder() { return QStringLiteral(KODRIX_PROGRAM_DIR) + QLatin1Char('/'); }

} // namespace kodrix::test
