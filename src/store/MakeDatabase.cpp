// Writes a fresh, empty record database at the path given (replacing nothing that exists
// unless --force is given). Used by the build to assemble the program folder.
#include "store/Database.h"
#include "store/SchemaUpgrade.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool force = args.contains(QStringLiteral("--force"));
    QStringList paths = args;
    paths.removeAll(QStringLiteral("--force"));
    if (paths.size() != 1) {
        std::fprintf(stderr, "usage: kodrix-makedb [--force] FILE\n");
        return 2;
    }
    const QString target = paths.front();
    if (QFile::exists(target) && !force)
        return 0;

    const QString temporary = target + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        QFile create(temporary);
        if (!create.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(temporary));
            return 1;
        }
    }
    {
        auto database = kodrix::Database::open(temporary);
        if (!database) {
            std::fprintf(stderr, "%s\n", qPrintable(database.error()));
            return 1;
        }
        kodrix::Status status = kodrix::createFreshSchema(**database);
        if (!status) {
            std::fprintf(stderr, "%s\n", qPrintable(status.error()));
            return 1;
        }
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target)) {
        std::fprintf(stderr, "cannot rename %s\n", qPrintable(temporary));
        return 1;
    }
    return 0;
}
