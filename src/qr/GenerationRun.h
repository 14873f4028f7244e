#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "qr/ContentType.h"
#include "qr/Placement.h"
#include "settings/Settings.h"
#include "store/Record.h"

#include <QString>

#include <functional>
#include <vector>

namespace kodrix {

class RecordSet;

// What one generation run works on.
struct RunRequest {
    RunRequest(Settings snapshot, ProgramFolder folder)
        : settings(std::move(snapshot)), programFolder(std::move(folder)) {}

    Settings settings;           // the snapshot of the live settings, taken once at the start
    ProgramFolder programFolder; // where the encoder modules are
    QString channel = kChannelOwn;
    int recordCount = 0;
    std::function<const Record &(int row)> recordAt; // rows 0 .. recordCount - 1, in list order;
                                                     // called from several threads at once
    PlacementProvider *placement = nullptr;          // asked on the calling thread
    int threads = 0;                                 // worker threads; 0 for one per core
    // Called on the calling thread now and then while pictures are made, with the rows done
    // so far; returning false cancels the run (no new record is started).
    std::function<bool(int done, int total)> progress;
};

// The working list as the run reads it.
void useRecords(RunRequest &request, const RecordSet &records);

// A record that got no picture.
struct RecordFailure {
    int row = 0; // 1-based position in the list
    QString filename;
    QString reason;
};

struct RunSummary {
    QString outputFolder;
    int recordCount = 0; // rows visited
    int withPayload = 0; // rows whose payload was not empty
    int made = 0;        // pictures written
    bool cancelled = false;
    std::vector<RecordFailure> failures; // in list order

    // Every row with a payload got its picture.
    bool complete() const { return !cancelled && failures.empty() && made == withPayload; }
    // "批量生成完毕，已经保存在：" and the folder.
    QString completionMessage() const;
    // The count of pictures made and one line per record that got none; empty when complete.
    QString problemReport() const;
};

// The batch generation run: the checks (a failure is the message to show, and nothing has
// been touched), the placements, the emptying of the output folder, then every record in
// list order on all worker threads. The files written are the same as one record after the
// other would write: of two records with one file name the later one's picture stays.
Result<RunSummary> runGeneration(const RunRequest &request);

} // namespace kodrix
