#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "qr/ContentType.h"

#include <QString>

#include <span>

namespace kodrix {

// One import template delivered in the program folder: the chooser's item text, which also
// names the file (item + ".xls"), and the content type the template is laid out for.
struct ImportTemplate {
    const char *item;
    ContentType type;
};

// The nine templates in the order the chooser lists them.
std::span<const ImportTemplate> importTemplates();

inline constexpr char16_t kManualFileName[] = u"操作说明.doc";
inline constexpr char16_t kManualCopyName[] = u"tempfile/操作说明书.doc";

QString templateFile(const ProgramFolder &folder, const QString &item);
QString templateViewingCopy(const ProgramFolder &folder, const QString &item);

// Hands a document to the desktop, which opens it with the application registered for its
// type. Tests put a recorder in its place.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    virtual void open(const QString &file) = 0;
};

class DesktopDocumentOpener final : public DocumentOpener {
public:
    void open(const QString &file) override;
};

// Copies the template of `item` over its viewing copy in "tempfile/" and opens the copy, so
// the file in the program folder is never edited. Fails, with nothing copied or opened,
// when the template is missing.
Status openTemplate(const ProgramFolder &folder, const QString &item, DocumentOpener &opener);

// The same for the user manual "操作说明.doc" and its copy "tempfile/操作说明书.doc".
Status openManual(const ProgramFolder &folder, DocumentOpener &opener);

} // namespace kodrix
