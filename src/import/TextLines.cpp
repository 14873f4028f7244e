#include "import/TextLines.h"

#include "common/TextDecoding.h"

namespace kodrix {

QString decodeImportText(QByteArray bytes) {
    // Neither UTF-8 nor GBK uses the byte 0 inside a character, so the cut is safe in both.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    return decodeUtf8OrGbk(bytes);
}

QStringList splitTextLines(const QString &text) {
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

} // namespace kodrix
