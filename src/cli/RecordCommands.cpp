// kodrix-cli list | payloads
#include "cli/CliContext.h"
#include "cli/Json.h"
#include "qr/ContentType.h"
#include "qr/Payload.h"

namespace kodrix::cli {

namespace {

QString recordJson(const Record &record) {
    QString line = QStringLiteral("{");
    for (const ColumnInfo &info : allColumns()) {
        if (line.size() > 1)
            line += QLatin1Char(',');
        line += jsonQuote(QString::fromLatin1(info.name)) + QLatin1Char(':') + jsonQuote(record[info.column]);
    }
    return line + QLatin1Char('}');
}

} // namespace

int runList(CliContext &context, const QStringList &arguments) {
    if (!arguments.isEmpty()) {
        printError(QStringLiteral("用法：kodrix-cli list"));
        return 2;
    }
    if (!context.openWorkspace())
        return 1;
    const RecordSet &records = *context.workspace().records();
    for (int row = 0; row < records.size(); ++row)
        printLine(recordJson(records.at(row)));
    return 0;
}

int runPayloads(CliContext &context, const QStringList &arguments) {
    if (!arguments.isEmpty()) {
        printError(QStringLiteral("用法：kodrix-cli payloads"));
        return 2;
    }
    if (!context.openWorkspace())
        return 1;
    const RecordSet &records = *context.workspace().records();
    const QString &type = context.settings().doctype;
    for (int row = 0; row < records.size(); ++row)
        printLine(jsonQuote(buildPayload(type, records.at(row), kChannelOwn)));
    return 0;
}

} // namespace kodrix::cli
