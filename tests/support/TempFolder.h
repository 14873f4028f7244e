#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace kodrix::test {

// A temporary folder whose path holds a space and Chinese characters, removed afterwards.
class TempFolder {
public:
    TempFolder();
    // The folder's path, ending in "/".
    QString path() const;
    QString file(const QString &relative) const { return path() + relative; }
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;

private:
    QTemporaryDir dir_;
};

// Path of the assembled program folder of this build.
QString builtProgramFolder();

} // namespace kodrix::test

namespace kodrix::test {

// Writes an empty record database of the current schema at `file` (as the build does for
// the program folder, but never the program folder's own, which holds the user's list).
bool writeFreshDatabase(const QString &file);

} // namespace kodrix::test
