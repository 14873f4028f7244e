#include "store/Record.h"

#include <QHash>

namespace kodrix {

namespace {

constexpr ColumnInfo kColumns[] = {
    {Column::id, "id", ""},
    {Column::mainid, "mainid", ""},
    {Column::wenben, "wenben", "文本"},
    {Column::xingming, "xingming", "姓名"},
    {Column::cardname, "cardname", ""},
    {Column::nickname, "nickname", "昵称"},
    {Column::gongsi, "gongsi", "公司"},
    {Column::zhiwei, "zhiwei", "职位"},
    {Column::dianhua, "dianhua", "电话"},
    {Column::worktel, "worktel", "工作电话"},
    {Column::hometel, "hometel", "家庭电话"},
    {Column::cell, "cell", "手机"},
    {Column::workfax, "workfax", "工作传真"},
    {Column::homefax, "homefax", "家庭传真"},
    {Column::workaddr, "workaddr", "工作地址"},
    {Column::homeaddr, "homeaddr", "家庭地址"},
    {Column::qq, "qq", "QQ"},
    {Column::email, "email", "邮箱"},
    {Column::dizhi, "dizhi", "地址"},
    {Column::gerenzhuye, "gerenzhuye", "个人主页"},
    {Column::wangzhi, "wangzhi", "网址"},
    {Column::shoujihaoma, "shoujihaoma", "手机号码"},
    {Column::xinxi, "xinxi", "信息"},
    {Column::zhanghao, "zhanghao", "账号"},
    {Column::mima, "mima", "密码"},
    {Column::jiamileixing, "jiamileixing", "加密类型"},
    {Column::filename, "filename", "文件名"},
    {Column::chuanzhi1, "chuanzhi1", "传值1"},
    {Column::chuanzhi2, "chuanzhi2", "传值2"},
    {Column::chuanzhi3, "chuanzhi3", "传值3"},
    {Column::chuanzhi4, "chuanzhi4", "传值4"},
    {Column::chuanzhi5, "chuanzhi5", "传值5"},
    {Column::chuanzhi6, "chuanzhi6", "传值6"},
    {Column::chuanzhi7, "chuanzhi7", "传值7"},
    {Column::chuanzhi8, "chuanzhi8", "传值8"},
    {Column::chuanzhi9, "chuanzhi9", "传值9"},
    {Column::chuanzhi10, "chuanzhi10", "传值10"},
};
static_assert(std::size(kColumns) == kColumnCount);

} // namespace

std::span<const ColumnInfo> allColumns() { return kColumns; }

const ColumnInfo &columnInfo(Column column) { return kColumns[static_cast<size_t>(column)]; }

QString columnName(Column column) { return QString::fromLatin1(columnInfo(column).name); }

QString columnTitle(Column column) { return QString::fromUtf8(columnInfo(column).title); }

std::optional<Column> columnByName(const QString &name) {
    static const QHash<QString, Column> byName = [] {
        QHash<QString, Column> map;
        for (const ColumnInfo &info : kColumns)
            map.insert(QString::fromLatin1(info.name), info.column);
        return map;
    }();
    auto it = byName.constFind(name.toLower());
    if (it == byName.constEnd())
        return std::nullopt;
    return *it;
}

Column passThroughColumn(int n) {
    Q_ASSERT(n >= 1 && n <= 10);
    return static_cast<Column>(static_cast<int>(Column::chuanzhi1) + n - 1);
}

} // namespace kodrix
