#pragma once

#include "store/Record.h"

#include <QByteArray>
#include <QString>

namespace kodrix {

// The text that one record's code carries under the content type `type` (one of the nine
// names, compared exactly; any other text gives an empty payload). Line breaks are CR LF.
QString buildPayload(const QString &type, const Record &record, const QString &channel);

// The bytes handed to the encoder: the payload in UTF-8, straight from Unicode.
inline QByteArray payloadBytes(const QString &payload) { return payload.toUtf8(); }

// Escapes `\ ; , : "` with a backslash, as MECARD and WIFI readers expect.
QString escapeReservedCharacters(const QString &value);

} // namespace kodrix
