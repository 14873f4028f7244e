#pragma once

#include "store/Record.h"

#include <QString>

#include <optional>
#include <span>

namespace kodrix {

// The nine content types, in the order the program lists them.
enum class ContentType { SingleText, MultiText, Mecard, Vcard, Phone, Url, Email, Sms, Wifi };

struct ContentTypeInfo {
    ContentType type;
    const char *name;              // the exact text stored in "doctype" and in cell (1, 1)
    std::span<const Column> fields; // the record fields the type uses, in payload order
};

std::span<const ContentTypeInfo> allContentTypes();
const ContentTypeInfo &contentTypeInfo(ContentType type);
QString contentTypeName(ContentType type);
// Exact, case-sensitive match of one of the nine names.
std::optional<ContentType> contentTypeFromName(const QString &name);

// The distribution channels; "Tervik1" leaves the FN line out of a vCard.
inline const QString kChannelOwn = QStringLiteral("自己");
inline const QString kChannelTervik = QStringLiteral("Tervik1");

} // namespace kodrix
