// kodrix-cli generate [--colour-at X,Y] [--background-at X,Y]
#include "cli/CliContext.h"
#include "qr/GenerationRun.h"
#include "qr/Placement.h"

#include <QElapsedTimer>

#include <optional>

namespace kodrix::cli {

namespace {

const QString kGenerateUsage = QStringLiteral("用法：kodrix-cli generate [--colour-at X,Y] [--background-at X,Y]");

std::optional<QPoint> parsePoint(const QString &text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool okX = false;
    bool okY = false;
    const int x = parts[0].trimmed().toInt(&okX);
    const int y = parts[1].trimmed().toInt(&okY);
    if (!okX || !okY)
        return std::nullopt;
    return QPoint(x, y);
}

struct GenerateOptions {
    std::optional<QPoint> colourAt;
    std::optional<QPoint> backgroundAt;
};

std::optional<GenerateOptions> parseOptions(const QStringList &arguments) {
    GenerateOptions options;
    for (int i = 0; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size())
            return std::nullopt;
        const std::optional<QPoint> point = parsePoint(arguments[i + 1]);
        if (!point)
            return std::nullopt;
        if (arguments[i] == u"--colour-at")
            options.colourAt = point;
        else if (arguments[i] == u"--background-at")
            options.backgroundAt = point;
        else
            return std::nullopt;
    }
    return options;
}

// Reports progress on stderr at most every two seconds.
class ProgressLine {
public:
    ProgressLine() { clock_.start(); }
    bool operator()(int done, int total) {
        if (done < total && clock_.elapsed() < 2000)
            return true;
        clock_.restart();
        printError(QStringLiteral("已完成 %1/%2").arg(done).arg(total));
        return true;
    }

private:
    QElapsedTimer clock_;
};

} // namespace

int runGenerate(CliContext &context, const QStringList &arguments) {
    const std::optional<GenerateOptions> options = parseOptions(arguments);
    if (!options) {
        printError(kGenerateUsage);
        return 2;
    }
    if (!context.openWorkspace())
        return 1;

    FixedPlacement placement(options->colourAt, options->backgroundAt);
    ProgressLine progress;
    RunRequest request(context.settings(), context.folder());
    request.placement = &placement;
    request.progress = [&progress](int done, int total) { return progress(done, total); };
    useRecords(request, *context.workspace().records());

    const Result<RunSummary> run = runGeneration(request);
    if (!run) {
        printError(run.error());
        return 1;
    }
    printLine(run->completionMessage());
    if (run->complete()) {
        printLine(QStringLiteral("已生成%1张图片。").arg(run->made));
        return 0;
    }
    printLine(run->problemReport());
    return 1;
}

} // namespace kodrix::cli
