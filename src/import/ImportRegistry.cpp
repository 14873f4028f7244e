#include "import/Import.h"

#include <QDateTime>

namespace kodrix {

namespace {

struct ImportKind {
    QLatin1StringView ending; // last three letters of the file name, upper case
    Importer run;
};

const ImportKind kImportKinds[] = {
    {QLatin1StringView("XLS"), &importSpreadsheet},
    {QLatin1StringView("TXT"), &importTextFile},
};

} // namespace

QString recordIdNow() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
}

Importer importerFor(const QString &file) {
    const QString ending = file.right(3).toUpper();
    for (const ImportKind &kind : kImportKinds)
        if (ending == kind.ending)
            return kind.run;
    return nullptr;
}

ImportOutcome importFile(const QString &file, ImportTarget &target) {
    if (Importer run = importerFor(file))
        return run(file, target);
    return {};
}

} // namespace kodrix
