#pragma once

#include <QByteArray>
#include <QString>

namespace kodrix {

// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(const QByteArray &bytes);

// Decodes text written either by this program (UTF-8) or by a Windows install (GBK):
// UTF-8 when the bytes are valid UTF-8 (a BOM is dropped), else GBK.
QString decodeUtf8OrGbk(const QByteArray &bytes);

// GBK (code page 936) conversions through iconv; characters outside GBK are lost.
QString fromGbk(const QByteArray &bytes);
QByteArray toGbk(const QString &text);

} // namespace kodrix

namespace kodrix {

// Trims leading and trailing characters with codes 0 to 32 (blanks and control characters),
// and nothing else: a full-width space stays.
QString trimBlanksAndControls(const QString &text);

} // namespace kodrix
