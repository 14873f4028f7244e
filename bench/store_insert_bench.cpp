// Writes 100,000 records through the working list in one batch update and reads them back.
// Target here: the batch of 100,000 rows written in under 2 s.
#include "store/Database.h"
#include "store/RecordSet.h"
#include "store/SchemaUpgrade.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace kodrix;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.mdb"));
    QFile(file).open(QIODevice::WriteOnly);
    auto database = Database::open(file);
    if (!database || !createFreshSchema(**database)) {
        std::fprintf(stderr, "cannot prepare the database\n");
        return 1;
    }
    RecordSet records(**database);
    records.requery();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        Record record;
        record[Column::id] = QStringLiteral("20261211120000%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        record[Column::mainid] = QStringLiteral("0");
        record[Column::xingming] = QStringLiteral("张三%1").arg(i);
        record[Column::gongsi] = QStringLiteral("某某科技有限公司");
        record[Column::cell] = QStringLiteral("13800138000");
        record[Column::email] = QStringLiteral("zhang%1@example.cn").arg(i);
        record[Column::filename] = QString::number(i);
        for (int n = 1; n <= 10; ++n)
            record[passThroughColumn(n)] = QStringLiteral("传值%1").arg(n);
        records.insert(record);
    }
    const qint64 filled = timer.restart();
    const Status written = records.batchUpdate(RecordSet::BatchMode::ReplaceTable);
    const qint64 writeAndRead = timer.elapsed();
    if (!written) {
        std::fprintf(stderr, "%s\n", qPrintable(written.error()));
        return 1;
    }

    timer.restart();
    records.requery();
    const qint64 reread = timer.elapsed();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("records: %d\n"
                "fill in memory: %lld ms\n"
                "batch update (write, then read back): %lld ms\n"
                "read back alone: %lld ms\n"
                "written in: %lld ms (target < 2000 ms)\n"
                "rows read back: %d\n"
                "peak memory: %ld MB\n",
                count, static_cast<long long>(filled), static_cast<long long>(writeAndRead),
                static_cast<long long>(reread), static_cast<long long>(writeAndRead - reread), records.size(),
                usage.ru_maxrss / 1024);
    return 0;
}
