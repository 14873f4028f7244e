// A whole generation run: vCard records, 300 × 300 JPEG, uniform colours and a transparent
// logo, on a temporary program folder, beside the bare cost of JPEG-encoding the same
// pictures on the same number of threads.
// Targets on a 2-core machine: at least 4,000 records per second, at most 1.5 times the bare
// JPEG cost, and a peak below 200 MB for 100,000 records (--records 100000).
//
//   generation_bench [--records N] [--threads T]
#include "qr/Composition.h"
#include "qr/EncoderBinding.h"
#include "qr/GenerationRun.h"
#include "qr/ParallelWork.h"
#include "qr/Payload.h"
#include "qr/PictureFiles.h"
#include "qr/RecordPicture.h"
#include "qr/RunChecks.h"
#include "store/Database.h"
#include "store/RecordSet.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstring>

using namespace kodrix;

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

Record card(int n) {
    const QString i = QString::number(n);
    Record record;
    record[Column::xingming] = QStringLiteral("张三") + i;
    record[Column::nickname] = QStringLiteral("小张");
    record[Column::gongsi] = QStringLiteral("Velquen科技有限公司");
    record[Column::zhiwei] = QStringLiteral("销售经理");
    record[Column::worktel] = QStringLiteral("010-6275") + i.rightJustified(4, QLatin1Char('0'));
    record[Column::cell] = QStringLiteral("1380013") + i.rightJustified(4, QLatin1Char('0'));
    record[Column::workaddr] = QStringLiteral("北京市海淀区中关村大街") + i + QStringLiteral("号");
    record[Column::qq] = QStringLiteral("10000") + i;
    record[Column::email] = QStringLiteral("zhang%1@example.com").arg(n);
    record[Column::gerenzhuye] = QStringLiteral("https://example.com/") + i;
    record[Column::filename] = i;
    return record;
}

Status fill(Database &database, int count) {
    QStringList names;
    QStringList marks;
    for (const ColumnInfo &info : allColumns()) {
        names << QString::fromLatin1(info.name);
        marks << QStringLiteral("?");
    }
    const QString insert = QStringLiteral("insert into list (%1) values (%2)")
                               .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    return database.inTransaction([&]() -> Status {
        for (int n = 1; n <= count; ++n) {
            const Record record = card(n);
            QVariantList values;
            for (const ColumnInfo &info : allColumns())
                values << record[info.column];
            if (!database.ExecSql(insert, values))
                return Status::failure(database.lastError());
        }
        return {};
    });
}

QImage logoPicture() {
    QImage logo(100, 100, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setBrush(QColor(0, 120, 200));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(15, 15, 70, 70);
    return logo;
}

struct Options {
    int records = 10000;
    int threads = 0;
};

Options parse(int argc, char **argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--records") == 0)
            options.records = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--threads") == 0)
            options.threads = std::atoi(argv[i + 1]);
    }
    return options;
}

// The pictures the run made for the first `count` records, composed again in memory.
std::vector<QImage> samplePictures(const Settings &settings, const ProgramFolder &folder, const RecordSet &records,
                                   int count) {
    auto prepared = prepareRun(settings, folder);
    auto encoder = EncoderModules::load(folder);
    std::vector<QImage> pictures;
    if (!prepared || !encoder)
        return pictures;
    RunState state;
    state.pictures = prepared->pictures;
    for (int row = 0; row < std::min(count, records.size()); ++row) {
        const QString payload = buildPayload(settings.doctype, records.at(row), kChannelOwn);
        auto working = makeWorkingPicture(*encoder, payloadBytes(payload), prepared->settings.width,
                                          prepared->settings.height);
        if (auto picture = working ? compose(*working, prepared->settings, state) : Result<QImage>::failure({}))
            pictures.push_back(*picture);
    }
    return pictures;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Options options = parse(argc, argv);
    const int threads = options.threads > 0 ? options.threads : defaultThreadCount();

    QTemporaryDir temp;
    const ProgramFolder folder(temp.path());
    for (const char *name : {"PtQREncode.dll", "PtImageRW.dll", "data.mdb"})
        QFile::copy(QStringLiteral(KODRIX_PROGRAM_DIR "/") + QString::fromLatin1(name), folder.file(QString::fromLatin1(name)));

    auto database = Database::open(folder.file(u"data.mdb"));
    if (!database) {
        std::fprintf(stderr, "%s\n", qPrintable(database.error()));
        return 1;
    }
    // Rows go in through plain statements, so that the peak below is that of reading the
    // list and running, as in the program, not of building the list.
    if (Status filled = fill(**database, options.records); !filled) {
        std::fprintf(stderr, "%s\n", qPrintable(filled.error()));
        return 1;
    }
    RecordSet records(**database);
    if (Status read = records.requery(); !read) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error()));
        return 1;
    }
    const long listKilobytes = peakKilobytes();

    Settings settings = Settings::defaults(folder);
    settings.doctype = contentTypeName(ContentType::Vcard);
    settings.codecolor = QColor(20, 40, 120);
    settings.backcolor = QColor(255, 252, 235);
    settings.logotransparent = true;
    savepic(folder.path(), QStringLiteral("logo"), logoPicture(), QStringLiteral(".JPG"));
    settings.selectlogo = folder.file(u"logo.JPG");

    RunRequest request(settings, folder);
    request.threads = threads;
    useRecords(request, records);
    QElapsedTimer clock;
    clock.start();
    const auto run = runGeneration(request);
    const double runSeconds = clock.nsecsElapsed() / 1e9;
    if (!run || !run->complete()) {
        std::fprintf(stderr, "run failed: %s\n", qPrintable(run ? run->problemReport() : run.error()));
        return 1;
    }
    const long runKilobytes = peakKilobytes();

    // The bare cost: libjpeg (through encodeJpeg) on the same pictures, the same threads.
    const std::vector<QImage> sample = samplePictures(settings, folder, records, 100);
    std::atomic<qint64> bytes{0};
    clock.restart();
    runInParallel(
        options.records, threads,
        [&](int task, int) { bytes += encodeJpeg(sample[static_cast<size_t>(task) % sample.size()]).size(); }, {});
    const double jpegSeconds = clock.nsecsElapsed() / 1e9;

    const double perSecond = options.records / runSeconds;
    std::printf("records:              %d vCards, 300 x 300 JPEG, uniform colour, transparent logo, %d threads\n",
                options.records, threads);
    std::printf("generation run:       %.2f s, %.0f records/s (target >= 4000)\n", runSeconds, perSecond);
    std::printf("bare JPEG encoding:   %.2f s, %.0f pictures/s, %.1f KB each\n", jpegSeconds,
                options.records / jpegSeconds, bytes.load() / 1024.0 / options.records);
    std::printf("run / bare JPEG:      %.2f (target <= 1.5)\n", runSeconds / jpegSeconds);
    std::printf("peak memory:          %.1f MB after reading the list, %.1f MB after the run (target < 200 MB at 100000)\n",
                listKilobytes / 1024.0, runKilobytes / 1024.0);
    return 0;
}
