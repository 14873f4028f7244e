#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "settings/Settings.h"
#include "store/Database.h"
#include "store/RecordSet.h"
#include "store/StyleTable.h"

#include <memory>

namespace kodrix {

// Working folders under the program folder.
inline constexpr char16_t kOutputFolderName[] = u"二维码/";
inline constexpr char16_t kStyleFolderName[] = u"样式文件/";
inline constexpr char16_t kScratchFolderName[] = u"tempfile/";
inline constexpr char16_t kDatabaseFileName[] = u"data.mdb";

// What the program opens when its main window is first shown: the working folders, the
// record database with its upgrade, the style table and the working list. The main window
// and the command-line tool both work through one of these.
class Workspace {
public:
    explicit Workspace(ProgramFolder folder) : folder_(std::move(folder)) {}

    // Fills an empty output folder setting with its default (in memory only) and makes the
    // style and scratch folders when missing.
    void prepareFolders(Settings &settings) const;

    // Opens "data.mdb", upgrades it, rebuilds the style table and reads the working list.
    // On failure the workspace stays without a database and the lists stay empty.
    Status openDatabase();

    const ProgramFolder &folder() const { return folder_; }
    bool isOpen() const { return database_ != nullptr; }
    Database *database() { return database_.get(); }
    RecordSet *records() { return records_.get(); }
    const QList<StyleRow> &styles() const { return styles_; }

private:
    ProgramFolder folder_;
    std::unique_ptr<Database> database_;
    std::unique_ptr<RecordSet> records_;
    QList<StyleRow> styles_;
};

} // namespace kodrix
