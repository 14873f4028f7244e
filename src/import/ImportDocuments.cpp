#include "import/ImportDocuments.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace kodrix {

namespace {

const ImportTemplate kTemplates[] = {
    {"单项文本模板", ContentType::SingleText},
    {"多项文本模板", ContentType::MultiText},
    {"MECARD格式名片模板", ContentType::Mecard},
    {"VCARD格式名片模板", ContentType::Vcard},
    {"电话模板", ContentType::Phone},
    {"网址模板", ContentType::Url},
    {"邮箱模板", ContentType::Email},
    {"短信模板", ContentType::Sms},
    {"WIFI模板", ContentType::Wifi},
};

// Copies `source` over `copy` and opens the copy. When the copy cannot be replaced (an
// earlier copy may still be open somewhere), the copy that is there is opened.
void copyAndOpen(const QString &source, const QString &copy, DocumentOpener &opener) {
    QDir().mkpath(QFileInfo(copy).absolutePath());
    if (QFile::exists(copy))
        QFile::remove(copy);
    QFile::copy(source, copy);
    // A copy takes the read-only mark of its source; the user may edit and save the copy.
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
    opener.open(copy);
}

} // namespace

std::span<const ImportTemplate> importTemplates() {
    return kTemplates;
}

QString templateFile(const ProgramFolder &folder, const QString &item) {
    return folder.file(item + QStringLiteral(".xls"));
}

QString templateViewingCopy(const ProgramFolder &folder, const QString &item) {
    return folder.file(QStringLiteral("tempfile/查看") + item + QStringLiteral(".xls"));
}

void DesktopDocumentOpener::open(const QString &file) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

Status openTemplate(const ProgramFolder &folder, const QString &item, DocumentOpener &opener) {
    const QString source = templateFile(folder, item);
    if (!QFileInfo(source).isFile())
        return Status::failure(source + QStringLiteral("文件丢失，重新安装软件可以解决此问题。"));
    copyAndOpen(source, templateViewingCopy(folder, item), opener);
    return {};
}

Status openManual(const ProgramFolder &folder, DocumentOpener &opener) {
    const QString source = folder.file(kManualFileName);
    if (!QFileInfo(source).isFile())
        return Status::failure(source + QStringLiteral("文件丢失，重新安装软件可解决此问题"));
    copyAndOpen(source, folder.file(kManualCopyName), opener);
    return {};
}

} // namespace kodrix
