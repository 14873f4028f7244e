#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"

#include <QColor>
#include <QString>
#include <QStringList>


namespace kodrix {

// The live output settings and the current content type. One object of this kind lives for
// the whole program; the settings dialog edits it and every consumer reads it when it runs.
// A generation run copies it once at its start.
struct Settings {
    QString savepath;         // output folder, ends in "/"
    QString selectlogo;       // logo picture; empty for none
    QString height = QStringLiteral("300");
    QString width = QStringLiteral("300");
    QString picturetype = QStringLiteral(".JPG");
    QString codecolorfrom = QStringLiteral("统一颜色");
    QColor codecolor = Qt::black;
    QString codecolorpicture;
    QString backcolorfrom = QStringLiteral("统一颜色");
    QColor backcolor = Qt::white;
    QString backcolorpicture;
    bool logotransparent = false;
    bool backstretch = false;
    bool codewhitetransparent = false;

    QString doctype = QStringLiteral("单项文本"); // current content type

    // The defaults, with the output folder inside the program folder.
    static Settings defaults(const ProgramFolder &folder);
    bool operator==(const Settings &) const = default;
};

// The items of the three pick lists.
inline const QStringList kPictureTypes = {QStringLiteral(".JPG"), QStringLiteral(".BMP")};
inline const QStringList kColorSources = {QStringLiteral("统一颜色"), QStringLiteral("图片颜色")};

// The text form of a key's value, as the file stores it.
QString settingText(const Settings &settings, const QString &key);

// Sets one key from its text with the checks the dialog makes (digits only for the sizes,
// a listed item for the pick lists, nine digits for a colour, 0 or 1 for a flag).
Status applySetting(Settings &settings, const QString &key, const QString &value);

// The pick-list item equal to `value` without regard to case; empty when none is.
QString matchItem(const QStringList &items, const QString &value);

} // namespace kodrix
