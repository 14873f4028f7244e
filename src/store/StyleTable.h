#pragma once

#include "common/Result.h"
#include "store/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace kodrix {

// One row of table `style`: a print style file "样式文件/" + name + ".fr3".
struct StyleRow {
    QString name;
    QString lasttime; // local time, "yyyy-MM-dd HH:mm:ss"
    bool operator==(const StyleRow &) const = default;
};

// The text form of a style's last change, in local time.
QString styleTimeText(const QDateTime &time);

// Empties `style` and lists every "*.fr3" file of `styleFolder` in it again.
Status rebuildStyleTable(Database &database, const QString &styleFolder);

// The style list, newest first.
Result<QList<StyleRow>> readStyles(Database &database);

} // namespace kodrix
