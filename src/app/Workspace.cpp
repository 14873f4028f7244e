#include "app/Workspace.h"

#include "store/SchemaUpgrade.h"

#include <QDir>

namespace kodrix {

void Workspace::prepareFolders(Settings &settings) const {
    if (settings.savepath.isEmpty())
        settings.savepath = folder_.file(kOutputFolderName);
    // Failures are met later by whatever writes into these folders.
    QDir().mkpath(folder_.file(kStyleFolderName));
    QDir().mkpath(folder_.file(kScratchFolderName));
}

Status Workspace::openDatabase() {
    records_.reset();
    database_.reset();
    styles_.clear();

    auto opened = Database::open(folder_.file(kDatabaseFileName));
    if (!opened)
        return Status::failure(opened.error());
    std::unique_ptr<Database> database = std::move(opened).value();

    const QString file = database->file();
    auto fail = [&](const QString &engineText) { return Status::failure(databaseOpenFailedMessage(file, engineText)); };

    if (Status upgraded = upgradeSchema(*database); !upgraded)
        return fail(upgraded.error());
    if (Status rebuilt = rebuildStyleTable(*database, folder_.file(kStyleFolderName)); !rebuilt)
        return fail(rebuilt.error());
    auto styles = readStyles(*database);
    if (!styles)
        return fail(styles.error());
    auto records = std::make_unique<RecordSet>(*database);
    if (Status read = records->requery(); !read)
        return fail(read.error());

    database_ = std::move(database);
    records_ = std::move(records);
    styles_ = std::move(styles).value();
    return {};
}

} // namespace kodrix
