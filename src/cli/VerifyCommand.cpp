// kodrix-cli verify: reads every picture of the last run back and compares its bytes.
#include "cli/CliContext.h"
#include "qr/ContentType.h"
#include "qr/ParallelWork.h"
#include "qr/Payload.h"
#include "qr/PictureFiles.h"
#include "qr/QrDecode.h"
#include "qr/RecordPicture.h"

#include <QFileInfo>

#include <vector>

namespace kodrix::cli {

namespace {

// Empty when the record's picture carries exactly its payload; else the reason.
QString checkPicture(const Settings &settings, const Record &record, const QByteArray &expected) {
    const QString &fileName = record[Column::filename];
    if (Status name = checkFileName(fileName); !name)
        return name.error();
    const QString path = settings.savepath + fileName + settings.picturetype;
    if (!QFileInfo(path).isFile())
        return QStringLiteral("图片不存在：%1").arg(path);
    const Result<QImage> picture = loadpic(path);
    if (!picture)
        return picture.error();
    const Result<QByteArray> decoded = decodeQrBytes(*picture);
    if (!decoded)
        return QStringLiteral("%1：%2").arg(path, decoded.error());
    if (*decoded != expected)
        return QStringLiteral("%1：二维码内容与记录不一致").arg(path);
    return {};
}

} // namespace

int runVerify(CliContext &context, const QStringList &arguments) {
    if (!arguments.isEmpty()) {
        printError(QStringLiteral("用法：kodrix-cli verify"));
        return 2;
    }
    if (!context.openWorkspace())
        return 1;
    const Settings &settings = context.settings();
    const RecordSet &records = *context.workspace().records();

    struct Check {
        int row;
        QByteArray expected;
        QString problem;
    };
    std::vector<Check> checks;
    for (int row = 0; row < records.size(); ++row) {
        const QString payload = buildPayload(settings.doctype, records.at(row), kChannelOwn);
        if (!payload.isEmpty())
            checks.push_back({row, payloadBytes(payload), {}});
    }
    runInParallel(
        static_cast<int>(checks.size()), defaultThreadCount(),
        [&](int task, int) {
            Check &check = checks[static_cast<size_t>(task)];
            check.problem = checkPicture(settings, records.at(check.row), check.expected);
        },
        {});

    int failed = 0;
    for (const Check &check : checks) {
        if (check.problem.isEmpty())
            continue;
        ++failed;
        printLine(QStringLiteral("第%1行（文件名：%2）：%3")
                      .arg(check.row + 1)
                      .arg(records.at(check.row)[Column::filename], check.problem));
    }
    const int passed = static_cast<int>(checks.size()) - failed;
    printLine(QStringLiteral("%1 passed, %2 failed").arg(passed).arg(failed));
    return failed == 0 ? 0 : 1;
}

} // namespace kodrix::cli
