// Text import: one record per line, appended to the list.
#include "import/Import.h"
#include "import/ImportMessages.h"
#include "import/TextLines.h"

#include <QFile>
#include <QFileInfo>

namespace kodrix {

ImportOutcome importTextFile(const QString &file, ImportTarget &target) {
    if (QFileInfo(file).isDir())
        return ImportOutcome::refused(textFileUnreadableMessage(file, QStringLiteral("这是一个文件夹")));
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return ImportOutcome::refused(textFileUnreadableMessage(file, in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return ImportOutcome::refused(textFileUnreadableMessage(file, in.errorString()));
    in.close();

    const QStringList lines = splitTextLines(decodeImportText(bytes));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Record record;
        record[Column::id] = target.makeId();
        record[Column::mainid] = QStringLiteral("0");
        record[Column::wenben] = lines[i];
        record[Column::filename] = QString::number(i + 1);
        target.records.insert(record);
    }
    if (Status written = target.records.batchUpdate(); !written) {
        target.records.requery(); // drops the pending rows again
        return ImportOutcome::refused(listNotStoredMessage(written.error()));
    }
    const int count = static_cast<int>(lines.size());
    return {ImportOutcome::Status::Imported, kImportDoneMessage, count > 0, false, count};
}

} // namespace kodrix
