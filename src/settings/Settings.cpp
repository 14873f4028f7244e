#include "settings/Settings.h"

#include "settings/ColorText.h"
#include "settings/SettingKeys.h"

#include <QFileInfo>

namespace kodrix {

namespace {

const SettingKey kKeys[] = {
    {"savepath", SettingKind::Folder, &Settings::savepath},
    {"selectlogo", SettingKind::Picture, &Settings::selectlogo},
    {"height", SettingKind::Digits, &Settings::height},
    {"width", SettingKind::Digits, &Settings::width},
    {"picturetype", SettingKind::PictureType, &Settings::picturetype},
    {"codecolorfrom", SettingKind::ColorSource, &Settings::codecolorfrom},
    {"codecolor", SettingKind::Color, &Settings::codecolor},
    {"codecolorpicture", SettingKind::Picture, &Settings::codecolorpicture},
    {"backcolorfrom", SettingKind::ColorSource, &Settings::backcolorfrom},
    {"backcolor", SettingKind::Color, &Settings::backcolor},
    {"backcolorpicture", SettingKind::Picture, &Settings::backcolorpicture},
    {"logotransparent", SettingKind::Flag, &Settings::logotransparent},
    {"backstretch", SettingKind::Flag, &Settings::backstretch},
    {"codewhitetransparent", SettingKind::Flag, &Settings::codewhitetransparent},
};

bool allDigits(const QString &text) {
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

Status invalid(const QString &key, const QString &value) {
    return Status::failure(QStringLiteral("设置项 %1 的值“%2”无效").arg(key, value));
}

// Checks `value` as the dialog would and returns the text to store, or an error.
Result<QString> checkedText(const SettingKey &entry, const QString &value) {
    using R = Result<QString>;
    const QString key = QString::fromLatin1(entry.key);
    switch (entry.kind) {
    case SettingKind::Folder:
        if (value.isEmpty())
            return R::failure(invalid(key, value).error());
        return withTrailingSlash(value);
    case SettingKind::Picture:
        if (!value.isEmpty() && !QFileInfo(value).isFile())
            return R::failure(value + QStringLiteral("文件不存在"));
        return value;
    case SettingKind::Digits:
        if (!allDigits(value))
            return R::failure(invalid(key, value).error());
        return value;
    case SettingKind::PictureType:
    case SettingKind::ColorSource: {
        const QString item =
            matchItem(entry.kind == SettingKind::PictureType ? kPictureTypes : kColorSources, value);
        if (item.isEmpty())
            return R::failure(invalid(key, value).error());
        return item;
    }
    case SettingKind::Color:
        if (value.size() != 9 || !allDigits(value))
            return R::failure(invalid(key, value).error());
        return value;
    case SettingKind::Flag:
        if (value != u"0" && value != u"1")
            return R::failure(invalid(key, value).error());
        return value;
    }
    return R::failure(invalid(key, value).error());
}

} // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

const SettingKey *findSettingKey(const QString &key) {
    for (const SettingKey &entry : kKeys)
        if (key.compare(QLatin1String(entry.key), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

Settings Settings::defaults(const ProgramFolder &folder) {
    Settings settings;
    settings.savepath = folder.file(u"二维码/");
    return settings;
}

QString matchItem(const QStringList &items, const QString &value) {
    for (const QString &item : items)
        if (item.compare(value, Qt::CaseInsensitive) == 0)
            return item;
    return {};
}

QString settingText(const Settings &s, const QString &key) {
    const SettingKey *entry = findSettingKey(key);
    if (!entry)
        return {};
    return std::visit(
        [&](auto member) -> QString {
            const auto &value = s.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QColor>)
                return colorToRgbText(value);
            else if constexpr (std::is_same_v<T, bool>)
                return value ? QStringLiteral("1") : QStringLiteral("0");
            else
                return value;
        },
        entry->member);
}

Status applySetting(Settings &s, const QString &key, const QString &value) {
    const SettingKey *entry = findSettingKey(key);
    if (!entry)
        return Status::failure(QStringLiteral("没有这个设置项：") + key);
    auto text = checkedText(*entry, value);
    if (!text)
        return Status::failure(text.error());
    std::visit(
        [&](auto member) {
            auto &target = s.*member;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, QColor>)
                target = *rgbTextToColor(*text);
            else if constexpr (std::is_same_v<T, bool>)
                target = *text == u"1";
            else
                target = *text;
        },
        entry->member);
    return {};
}

} // namespace kodrix
