// Import benchmark, each case in a process of its own so that each peak memory is its own:
//   workbook: the largest sheet an .xls file holds (65,534 business cards of 25 columns,
//             written at build time by make_import_workbook.py), into an empty list;
//   text:     a text file of 100,000 lines, into an empty list.
// Targets here: the workbook imported in under 3 s with a peak memory under 300 MB.
#include "import/Import.h"
#include "settings/Settings.h"
#include "store/Database.h"
#include "store/RecordSet.h"
#include "store/SchemaUpgrade.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

using namespace kodrix;

namespace {

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Imports `file` into the empty list of a fresh program folder and prints the figures.
int importOnce(const char *what, const QString &file, const QTemporaryDir &dir) {
    const ProgramFolder folder(dir.path());
    const QString databaseFile = folder.file(u"data.mdb");
    QFile(databaseFile).open(QIODevice::WriteOnly);
    auto database = Database::open(databaseFile);
    if (!database || !createFreshSchema(**database)) {
        std::fprintf(stderr, "cannot prepare the database\n");
        return 1;
    }
    RecordSet records(**database);
    records.requery();
    Settings settings = Settings::defaults(folder);
    ImportTarget target{records, settings, folder};

    const long before = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    const ImportOutcome outcome = importFile(file, target);
    const qint64 elapsed = timer.elapsed();
    if (outcome.status != ImportOutcome::Status::Imported) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.message));
        return 1;
    }
    const long peak = peakMegabytes();
    std::printf("%s: %d records in %lld ms, peak memory %ld MB (%ld MB before the import)\n", what,
                records.size(), static_cast<long long>(elapsed), peak, before);
    if (QStringView(file).endsWith(u".xls")) {
        std::printf("  target: < 3000 ms, < 300 MB: %s\n", elapsed < 3000 && peak < 300 ? "met" : "NOT met");
        return elapsed < 3000 && peak < 300 ? 0 : 1;
    }
    return 0;
}

int writeLines(const QString &file, int count) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < count; ++i)
        out.write(
            QStringLiteral("第%1行：https://www.example.com/item?id=%1&from=bench\r\n").arg(i).toUtf8());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QTemporaryDir dir;

    if (arguments.size() == 2 && arguments[0] == u"--workbook")
        return importOnce("workbook", arguments[1], dir);
    if (arguments.size() == 1 && arguments[0] == u"--text") {
        const QString file = dir.filePath(QStringLiteral("lines.txt"));
        return writeLines(file, 100000) || importOnce("text", file, dir);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: import_bench WORKBOOK.xls\n");
        return 2;
    }

    int failures = 0;
    for (const QStringList &run :
         {QStringList{QStringLiteral("--workbook"), arguments[0]}, QStringList{QStringLiteral("--text")}}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), run);
        child.waitForFinished(-1);
        failures += child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0;
    }
    return failures == 0 ? 0 : 1;
}
