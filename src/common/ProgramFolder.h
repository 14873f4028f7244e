#pragma once

#include <QString>
#include <QStringView>

namespace kodrix {

// The folder the program runs from. Every file the program owns is this folder's path
// (always ending in "/") followed by a relative name, with nothing put between.
class ProgramFolder {
public:
    explicit ProgramFolder(const QString &directory);

    // The folder of the running executable.
    static ProgramFolder ofExecutable();

    const QString &path() const { return path_; }
    QString file(QStringView relativeName) const { return QString(path_).append(relativeName); }

private:
    QString path_;
};

// Returns `folder` with exactly one trailing "/".
QString withTrailingSlash(const QString &folder);

} // namespace kodrix
