#pragma once

#include "settings/Settings.h"

#include <span>
#include <variant>

namespace kodrix {

// How the value of a "softset" key is held and checked.
enum class SettingKind { Folder, Picture, Digits, PictureType, ColorSource, Color, Flag };

struct SettingKey {
    const char *key;
    SettingKind kind;
    std::variant<QString Settings::*, QColor Settings::*, bool Settings::*> member;
};

// The fourteen keys of "softset", in file order.
std::span<const SettingKey> settingKeys();
const SettingKey *findSettingKey(const QString &key);

} // namespace kodrix
