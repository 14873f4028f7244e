#include "qr/ContentType.h"

namespace kodrix {

namespace {

using C = Column;
constexpr Column kText[] = {C::wenben};
constexpr Column kMecard[] = {C::xingming, C::gongsi, C::zhiwei, C::dianhua,
                              C::qq,       C::email,  C::dizhi,  C::gerenzhuye};
constexpr Column kVcard[] = {C::xingming, C::nickname, C::gongsi,   C::zhiwei,   C::worktel,
                             C::hometel,  C::cell,     C::workfax,  C::homefax,  C::workaddr,
                             C::homeaddr, C::qq,       C::email,    C::gerenzhuye};
constexpr Column kPhone[] = {C::dianhua};
constexpr Column kUrl[] = {C::wangzhi};
constexpr Column kEmail[] = {C::email};
constexpr Column kSms[] = {C::shoujihaoma, C::xinxi};
constexpr Column kWifi[] = {C::jiamileixing, C::zhanghao, C::mima};

const ContentTypeInfo kTypes[] = {
    {ContentType::SingleText, "单项文本", kText},
    {ContentType::MultiText, "多项文本", kText},
    {ContentType::Mecard, "名片--MECARD", kMecard},
    {ContentType::Vcard, "名片--VCARD", kVcard},
    {ContentType::Phone, "电话", kPhone},
    {ContentType::Url, "网址", kUrl},
    {ContentType::Email, "邮箱", kEmail},
    {ContentType::Sms, "短信", kSms},
    {ContentType::Wifi, "Wifi配置", kWifi},
};

} // namespace

std::span<const ContentTypeInfo> allContentTypes() { return kTypes; }

const ContentTypeInfo &contentTypeInfo(ContentType type) { return kTypes[static_cast<size_t>(type)]; }

QString contentTypeName(ContentType type) { return QString::fromUtf8(contentTypeInfo(type).name); }

std::optional<ContentType> contentTypeFromName(const QString &name) {
    for (const ContentTypeInfo &info : kTypes)
        if (name == QString::fromUtf8(info.name))
            return info.type;
    return std::nullopt;
}

} // namespace kodrix
