#include "settings/IniFile.h"

#include "common/TextDecoding.h"

#include <QFile>
#include <QSaveFile>

namespace kodrix {

namespace {

// Cuts `value` to at most IniFile::kMaxValueBytes bytes of UTF-8, never inside a character.
QString cutToMaxBytes(const QString &value) {
    if (value.size() * 3 <= IniFile::kMaxValueBytes)
        return value;
    QString out;
    int bytes = 0;
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype length = (value[i].isHighSurrogate() && i + 1 < value.size()) ? 2 : 1;
        const QString piece = value.mid(i, length);
        const int pieceBytes = static_cast<int>(piece.toUtf8().size());
        if (bytes + pieceBytes > IniFile::kMaxValueBytes)
            break;
        out += piece;
        bytes += pieceBytes;
        i += length;
    }
    return out;
}

} // namespace

IniFile IniFile::parse(const QByteArray &bytes) {
    IniFile ini;
    const QString text = decodeUtf8OrGbk(bytes);
    QString section;
    const QStringList rawLines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QString raw = rawLines[i];
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        if (i == rawLines.size() - 1 && raw.isEmpty())
            break; // the final line break makes no extra line
        Line line{raw, section, {}, {}};
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
            section = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed().toLower();
            line.section = section;
        } else if (!trimmed.startsWith(QLatin1Char(';')) && trimmed.contains(QLatin1Char('='))) {
            const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
            line.key = trimmed.left(eq).trimmed().toLower();
            line.value = cutToMaxBytes(trimmed.mid(eq + 1).trimmed());
        }
        ini.lines_.append(line);
    }
    return ini;
}

Result<IniFile> IniFile::load(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return IniFile();
    if (!file.open(QIODevice::ReadOnly))
        return Result<IniFile>::failure(path + QStringLiteral("无法读取：") + file.errorString());
    return parse(file.readAll());
}

int IniFile::findKey(const QString &section, const QString &key) const {
    const QString s = section.toLower();
    const QString k = key.toLower();
    for (int i = 0; i < lines_.size(); ++i)
        if (!lines_[i].key.isEmpty() && lines_[i].section == s && lines_[i].key == k)
            return i;
    return -1;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const {
    const int i = findKey(section, key);
    if (i < 0)
        return std::nullopt;
    return lines_[i].value;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    const QString s = section.toLower();
    const QString text = key + QLatin1Char('=') + value;
    const int existing = findKey(section, key);
    if (existing >= 0) {
        Line &line = lines_[existing];
        line.text = line.text.left(line.text.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value;
        line.value = value;
        return;
    }
    // Append after the last line of the section, creating the section at the end if needed.
    int last = -1;
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_[i].section == s && (lines_[i].key.size() > 0 || lines_[i].text.trimmed().startsWith(QLatin1Char('['))))
            last = i;
    if (last < 0) {
        lines_.append({QLatin1Char('[') + section + QLatin1Char(']'), s, {}, {}});
        last = static_cast<int>(lines_.size()) - 1;
    }
    lines_.insert(last + 1, {text, s, key.toLower(), value});
}

QByteArray IniFile::serialize() const {
    QByteArray out;
    for (const Line &line : lines_) {
        out += line.text.toUtf8();
        out += "\r\n";
    }
    return out;
}

Status IniFile::save(const QString &path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(path + QStringLiteral("无法写入：") + file.errorString());
    file.write(serialize());
    if (!file.commit())
        return Status::failure(path + QStringLiteral("无法写入：") + file.errorString());
    return {};
}

} // namespace kodrix
