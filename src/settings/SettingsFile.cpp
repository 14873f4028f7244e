#include "settings/SettingsFile.h"

#include "settings/ColorText.h"
#include "settings/IniFile.h"
#include "settings/SettingKeys.h"

namespace kodrix {

namespace {

const QString kSoftset = QStringLiteral("softset");
const QString kTempdata = QStringLiteral("tempdata");
const QString kDoctype = QStringLiteral("doctype");

QString settingsPath(const ProgramFolder &folder) { return folder.file(kSettingsFileName); }

// Puts the text read for one key into `settings`, leaving the default where it cannot.
void loadKey(Settings &settings, const SettingKey &entry, const QString &text, QStringList &warnings) {
    std::visit(
        [&](auto member) {
            auto &target = settings.*member;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, QColor>) {
                if (auto colour = rgbTextToColor(text))
                    target = *colour;
                else
                    warnings << QStringLiteral("颜色设置 %1 的值“%2”无法识别，已使用默认颜色")
                                    .arg(QLatin1String(entry.key), text);
            } else if constexpr (std::is_same_v<T, bool>) {
                bool ok = false;
                const int number = text.trimmed().toInt(&ok);
                if (ok)
                    target = number != 0;
            } else if (entry.kind == SettingKind::PictureType) {
                target = matchItem(kPictureTypes, text);
            } else if (entry.kind == SettingKind::ColorSource) {
                target = matchItem(kColorSources, text);
            } else if (entry.kind == SettingKind::Folder && !text.endsWith(QLatin1Char('\\'))) {
                // File names are appended to the folder directly: a hand-edited folder
                // without its separator would put the pictures beside it.
                target = withTrailingSlash(text);
            } else {
                target = text;
            }
        },
        entry.member);
}

} // namespace

LoadedSettings loadSettingsFile(const ProgramFolder &folder) {
    LoadedSettings loaded{Settings::defaults(folder), {}};
    auto ini = IniFile::load(settingsPath(folder));
    if (!ini) {
        loaded.warnings << ini.error();
        return loaded;
    }
    for (const SettingKey &entry : settingKeys())
        if (auto text = ini->value(kSoftset, QString::fromLatin1(entry.key)))
            loadKey(loaded.settings, entry, *text, loaded.warnings);
    if (auto doctype = ini->value(kTempdata, kDoctype))
        loaded.settings.doctype = *doctype;
    return loaded;
}

Status saveSettingsFile(const Settings &settings, const ProgramFolder &folder) {
    auto ini = IniFile::load(settingsPath(folder));
    if (!ini)
        return Status::failure(ini.error());
    for (const SettingKey &entry : settingKeys()) {
        const QString key = QString::fromLatin1(entry.key);
        ini->setValue(kSoftset, key, settingText(settings, key));
    }
    return ini->save(settingsPath(folder));
}

Status saveContentType(const QString &doctype, const ProgramFolder &folder) {
    auto ini = IniFile::load(settingsPath(folder));
    if (!ini)
        return Status::failure(ini.error());
    ini->setValue(kTempdata, kDoctype, doctype);
    return ini->save(settingsPath(folder));
}

} // namespace kodrix
