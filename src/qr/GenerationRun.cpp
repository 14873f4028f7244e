#include "qr/GenerationRun.h"

#include "qr/Composition.h"
#include "qr/EncoderBinding.h"
#include "qr/OutputFolder.h"
#include "qr/ParallelWork.h"
#include "qr/Payload.h"
#include "qr/RecordPicture.h"
#include "qr/RunChecks.h"
#include "store/RecordSet.h"

#include <QHash>

#include <algorithm>
#include <atomic>

namespace kodrix {

namespace {

// Rows that write the same file, chained in list order. Each chain is made by one worker,
// row after row, so the later record's picture is the one that stays, as it would be one
// record after the other. Names are compared case-folded, so that a file system that
// ignores case gives the same result.
struct FileChains {
    std::vector<int> heads; // the first row of each chain, in list order
    std::vector<int> next;  // the next row of the same chain, or -1
};

FileChains chainByFile(const RunRequest &request) {
    FileChains chains;
    chains.next.assign(static_cast<size_t>(request.recordCount), -1);
    QHash<QString, int> lastRow;
    lastRow.reserve(request.recordCount);
    for (int row = 0; row < request.recordCount; ++row) {
        const QString key = request.recordAt(row)[Column::filename].toCaseFolded();
        auto it = lastRow.find(key);
        if (it == lastRow.end()) {
            chains.heads.push_back(row);
            lastRow.insert(key, row);
        } else {
            chains.next[static_cast<size_t>(*it)] = row;
            *it = row;
        }
    }
    return chains;
}

class Run {
public:
    Run(const RunRequest &request, PreparedRun prepared, EncoderModules encoder)
        : request_(request), settings_(std::move(prepared.settings)), encoder_(std::move(encoder)) {
        state_.pictures = std::move(prepared.pictures);
    }

    // Settles the placements on the first row whose code can be made. False when the user
    // cancelled; a failure when a placement cannot be asked for.
    Result<bool> settlePlacements(PlacementProvider &provider) {
        for (int row = 0; row < request_.recordCount && placementsPending(settings_, state_); ++row) {
            const QString payload = payloadOf(row);
            if (payload.isEmpty())
                continue;
            auto working = makeWorkingPicture(encoder_, payloadBytes(payload), settings_.width, settings_.height);
            if (!working) // this row fails again, and is reported, when it is made
                continue;
            auto settled = kodrix::settlePlacements(*working, settings_, state_, provider);
            if (!settled)
                return Result<bool>::failure(settled.error());
            return *settled == Settlement::Settled;
        }
        return true;
    }

    RunSummary makeAll() {
        const FileChains chains = chainByFile(request_);
        const int threads = request_.threads > 0 ? request_.threads : defaultThreadCount();
        std::vector<std::vector<RecordFailure>> failures(static_cast<size_t>(threads));

        auto work = [&](int task, int worker) {
            for (int row = chains.heads[static_cast<size_t>(task)]; row >= 0; row = chains.next[static_cast<size_t>(row)]) {
                if (Status made = makeRow(row); !made)
                    failures[static_cast<size_t>(worker)].push_back(
                        {row + 1, request_.recordAt(row)[Column::filename], made.error()});
                done_.fetch_add(1, std::memory_order_relaxed);
            }
        };
        auto watch = [&] { return !request_.progress || request_.progress(done_.load(), request_.recordCount); };
        const bool finished = runInParallel(static_cast<int>(chains.heads.size()), threads, work, watch);

        RunSummary summary;
        summary.outputFolder = settings_.values.savepath;
        summary.recordCount = request_.recordCount;
        summary.withPayload = withPayload_.load();
        summary.made = made_.load();
        summary.cancelled = !finished;
        for (auto &list : failures)
            summary.failures.insert(summary.failures.end(), std::make_move_iterator(list.begin()),
                                    std::make_move_iterator(list.end()));
        std::sort(summary.failures.begin(), summary.failures.end(),
                  [](const RecordFailure &a, const RecordFailure &b) { return a.row < b.row; });
        return summary;
    }

private:
    QString payloadOf(int row) const {
        return buildPayload(settings_.values.doctype, request_.recordAt(row), request_.channel);
    }

    // One record: nothing for an empty payload, else its picture or the reason it has none.
    Status makeRow(int row) {
        const QString payload = payloadOf(row);
        if (payload.isEmpty())
            return {};
        withPayload_.fetch_add(1, std::memory_order_relaxed);
        const QString &fileName = request_.recordAt(row)[Column::filename];
        if (Status name = checkFileName(fileName); !name)
            return name;
        auto working = makeWorkingPicture(encoder_, payloadBytes(payload), settings_.width, settings_.height);
        if (!working)
            return Status::failure(working.error());
        auto picture = compose(std::move(working).value(), settings_, state_);
        if (!picture)
            return Status::failure(picture.error());
        if (Status written = writePicture(settings_.values.savepath, fileName, *picture, settings_.values.picturetype);
            !written)
            return written;
        made_.fetch_add(1, std::memory_order_relaxed);
        return {};
    }

    const RunRequest &request_;
    RunSettings settings_;
    RunState state_;
    EncoderModules encoder_;
    std::atomic<int> done_{0};
    std::atomic<int> withPayload_{0};
    std::atomic<int> made_{0};
};

} // namespace

void useRecords(RunRequest &request, const RecordSet &records) {
    request.recordCount = records.size();
    request.recordAt = [&records](int row) -> const Record & { return records.at(row); };
}

QString RunSummary::completionMessage() const { return QStringLiteral("批量生成完毕，已经保存在：") + outputFolder; }

QString RunSummary::problemReport() const {
    if (complete())
        return {};
    QString text = QStringLiteral("共有%1条记录需要生成图片，已生成%2张").arg(withPayload).arg(made);
    if (cancelled)
        text += QStringLiteral("，生成已取消");
    text += QStringLiteral("。");
    if (!failures.empty())
        text += QStringLiteral("\n以下%1条记录没有生成图片：").arg(failures.size());
    for (const RecordFailure &failure : failures)
        text += QStringLiteral("\n第%1行（文件名：%2）：%3").arg(failure.row).arg(failure.filename, failure.reason);
    return text;
}

Result<RunSummary> runGeneration(const RunRequest &request) {
    using R = Result<RunSummary>;
    auto prepared = prepareRun(request.settings, request.programFolder);
    if (!prepared)
        return R::failure(prepared.error());
    auto encoder = EncoderModules::load(request.programFolder);
    if (!encoder)
        return R::failure(encoder.error());
    const QString outputFolder = prepared->settings.values.savepath;
    Run run(request, std::move(prepared).value(), std::move(encoder).value());

    CentredPlacement centred;
    auto settled = run.settlePlacements(request.placement ? *request.placement : centred);
    if (!settled)
        return R::failure(settled.error());
    if (!*settled) { // cancelled before anything was touched
        RunSummary summary;
        summary.outputFolder = outputFolder;
        summary.recordCount = request.recordCount;
        summary.cancelled = true;
        return summary;
    }

    if (Status emptied = emptyOutputFolder(outputFolder); !emptied)
        return R::failure(emptied.error());
    return run.makeAll();
}

} // namespace kodrix
