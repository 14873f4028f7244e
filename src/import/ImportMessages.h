#pragma once

#include <QString>

namespace kodrix {

// The texts the import gives back to be shown to the user.
inline const QString kImportDoneMessage = QStringLiteral("导入完毕！");
inline const QString kWrongFileMessage = QStringLiteral("错误的文件！");

inline QString repeatedFileNameMessage(const QString &name) {
    return QStringLiteral("文件名：") + name +
           QStringLiteral("重复！请在保证所有文件名都不重复的情况下再导入，谢谢！");
}

// A "多项文本" sheet needs, after the file name column, the item headers and then the ten
// pass-through headers in row 2; with fewer than nine headers a pass-through column would lie
// left of the first column.
inline QString multiTextTooFewHeadersMessage(int headers) {
    return QStringLiteral("多项文本的第2行从第2列起只有%1个标题，不足9个，无法确定传值列。"
                          "请按多项文本模板整理（各项名称之后是传值1至传值10）后再导入。")
        .arg(headers);
}

inline QString listNotStoredMessage(const QString &engineText) {
    return QStringLiteral("导入的数据无法保存到数据库，列表没有改变：") + engineText;
}

inline QString contentTypeNotStoredMessage(const QString &reason) {
    return QStringLiteral("无法保存数据类型到软件设置，列表没有改变：") + reason;
}

inline QString textFileUnreadableMessage(const QString &file, const QString &reason) {
    return QStringLiteral("无法读取文件：") + file + QStringLiteral("（") + reason + QStringLiteral("）");
}

} // namespace kodrix
