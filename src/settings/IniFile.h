#pragma once

#include "common/Result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kodrix {

// A Windows-style INI file: "[section]" headers and "key=value" lines, sections and keys
// matched without regard to case. Lines it does not know are kept as they were, so saving
// never drops another program's sections or comments.
class IniFile {
public:
    // Longest value read, in bytes of the file; a longer value is cut there.
    static constexpr int kMaxValueBytes = 2047;

    // Reads the file (UTF-8 when valid, else GBK). A missing file gives an empty document.
    static Result<IniFile> load(const QString &path);
    static IniFile parse(const QByteArray &bytes);

    std::optional<QString> value(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray serialize() const;
    // Writes the file in UTF-8 through a temporary file and a rename.
    Status save(const QString &path) const;

private:
    struct Line {
        QString text;     // the line as read or written
        QString section;  // section the line belongs to (lower case)
        QString key;      // key in lower case; empty for headers, comments and blank lines
        QString value;
    };
    int findKey(const QString &section, const QString &key) const;

    QList<Line> lines_;
};

} // namespace kodrix
