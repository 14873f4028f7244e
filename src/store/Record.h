#pragma once

#include <QString>

#include <array>
#include <optional>
#include <span>

namespace kodrix {

// The columns of table `list`, in table order. Every value is held as text.
enum class Column {
    id, mainid,
    wenben, xingming, cardname, nickname, gongsi, zhiwei, dianhua, worktel, hometel, cell,
    workfax, homefax, workaddr, homeaddr, qq, email, dizhi, gerenzhuye, wangzhi, shoujihaoma,
    xinxi, zhanghao, mima, jiamileixing,
    filename,
    chuanzhi1, chuanzhi2, chuanzhi3, chuanzhi4, chuanzhi5,
    chuanzhi6, chuanzhi7, chuanzhi8, chuanzhi9, chuanzhi10,
};

inline constexpr int kColumnCount = static_cast<int>(Column::chuanzhi10) + 1;

struct ColumnInfo {
    Column column;
    const char *name;  // column name in the database
    const char *title; // grid title shown to the user; empty when the column is not shown
};

// All columns in table order.
std::span<const ColumnInfo> allColumns();
const ColumnInfo &columnInfo(Column column);
QString columnName(Column column);
QString columnTitle(Column column);
std::optional<Column> columnByName(const QString &name);

// The pass-through column `chuanzhi<n>` for n in 1..10.
Column passThroughColumn(int n);

// One row of table `list`: one QR code to make.
class Record {
public:
    const QString &operator[](Column c) const { return values_[static_cast<size_t>(c)]; }
    QString &operator[](Column c) { return values_[static_cast<size_t>(c)]; }
    bool operator==(const Record &) const = default;

private:
    std::array<QString, kColumnCount> values_;
};

} // namespace kodrix
