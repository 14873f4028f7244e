#pragma once

#include "qr/ContentType.h"
#include "qr/GenerationRun.h"
#include "qr/RunState.h"
#include "settings/Settings.h"
#include "store/Record.h"
#include "support/TempFolder.h"

#include <QImage>

#include <vector>

namespace kodrix::test {

// A temporary program folder with the built encoder modules, its default settings and a
// list of records to run on.
class RunFixture {
public:
    RunFixture();

    ProgramFolder programFolder() const { return ProgramFolder(temp_.path()); }
    QString outputFolder() const { return temp_.file(QStringLiteral("二维码/")); }
    const TempFolder &temp() const { return temp_; }

    // The defaults, writing into outputFolder().
    Settings settings;
    std::vector<Record> records;

    // A request over `records` with `settings`.
    RunRequest request(PlacementProvider *placement = nullptr, int threads = 0) const;
    // Saves `picture` under `name` in the folder and returns its path.
    QString savePicture(const QString &name, const QImage &picture) const;
    // The bytes of one output file ("" when it is missing).
    QByteArray output(const QString &fileName) const;

private:
    TempFolder temp_;
};

// A record of the given content type whose fields all hold `value` (each field with its own
// number appended, so that the fields differ), named `fileName`.
Record recordOf(ContentType type, const QString &value, const QString &fileName);

// A single-text record.
Record textRecord(const QString &text, const QString &fileName);

// A picture of width × height running from one colour to another, left to right.
QImage gradient(int width, int height, QRgb from, QRgb to);

} // namespace kodrix::test
