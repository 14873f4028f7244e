#include "qr/Payload.h"

#include "qr/ContentType.h"

namespace kodrix {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// One element of a payload: literal before, field value, literal after.
struct Element {
    const char *before;
    Column field;
    const char *after;
};

QString join(const Record &record, std::span<const Element> elements, bool escape) {
    QString out;
    for (const Element &e : elements) {
        const QString &value = record[e.field];
        out += QString::fromUtf8(e.before);
        out += escape ? escapeReservedCharacters(value) : value;
        out += QString::fromUtf8(e.after);
    }
    return out;
}

QString mecard(const Record &record) {
    static constexpr Element elements[] = {
        {"N:", Column::xingming, ";"},   {"ORG:", Column::gongsi, ";"},
        {"TIL:", Column::zhiwei, ";"},   {"TEL:", Column::dianhua, ";"},
        {"NOTE:QQ :", Column::qq, ";"},  {"EMAIL:", Column::email, ";"},
        {"ADR:", Column::dizhi, ";"},    {"URL:", Column::gerenzhuye, ";"},
    };
    return QStringLiteral("MECARD:") + join(record, elements, true) + QLatin1Char(';');
}

QString vcard(const Record &record, const QString &channel) {
    static constexpr Element nameLine[] = {{"N:", Column::xingming, "\r\n"}};
    static constexpr Element fullNameLine[] = {{"FN:", Column::xingming, "\r\n"}};
    static constexpr Element rest[] = {
        {"NICKNAME:", Column::nickname, "\r\n"},
        {"ORG:", Column::gongsi, "\r\n"},
        {"TITLE:", Column::zhiwei, "\r\n"},
        {"TEL;WORK;VOICE:", Column::worktel, "\r\n"},
        {"TEL;HOME;VOICE:", Column::hometel, "\r\n"},
        {"TEL;CELL;VOICE:", Column::cell, "\r\n"},
        {"TEL;WORK;FAX:", Column::workfax, "\r\n"},
        {"TEL;HOME;FAX:", Column::homefax, "\r\n"},
        {"ADR;WORK:", Column::workaddr, "\r\n"},
        {"ADR;HOME:", Column::homeaddr, "\r\n"},
        {"NOTE:QQ :", Column::qq, "\r\n"},
        {"EMAIL;PREF;INTERNET:", Column::email, "\r\n"},
        {"URL:", Column::gerenzhuye, ""},
    };
    QString body = join(record, nameLine, false);
    if (channel != kChannelTervik)
        body += join(record, fullNameLine, false);
    body += join(record, rest, false);
    return QStringLiteral("BEGIN:VCARD") + kCrLf + QStringLiteral("VERSION:3.0") + kCrLf + body +
           QLatin1Char(';') + kCrLf + QStringLiteral("END:VCARD");
}

QString sms(const Record &record) {
    static constexpr Element elements[] = {{"smsto:", Column::shoujihaoma, ""}, {":", Column::xinxi, ""}};
    return join(record, elements, false);
}

QString wifi(const Record &record) {
    static constexpr Element elements[] = {
        {"WIFI:T:", Column::jiamileixing, ""}, {";S:", Column::zhanghao, ""}, {";P:", Column::mima, ""}};
    return join(record, elements, true) + QStringLiteral(";;");
}

} // namespace

QString escapeReservedCharacters(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'\\' || c == u';' || c == u',' || c == u':' || c == u'"')
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString buildPayload(const QString &type, const Record &record, const QString &channel) {
    const auto contentType = contentTypeFromName(type);
    if (!contentType)
        return {};
    switch (*contentType) {
    case ContentType::SingleText:
    case ContentType::MultiText: return record[Column::wenben];
    case ContentType::Mecard: return mecard(record);
    case ContentType::Vcard: return vcard(record, channel);
    case ContentType::Phone: return record[Column::dianhua];
    case ContentType::Url: return record[Column::wangzhi];
    case ContentType::Email: return record[Column::email];
    case ContentType::Sms: return sms(record);
    case ContentType::Wifi: return wifi(record);
    }
    return {};
}

} // namespace kodrix
