#include "common/TextDecoding.h"

#include <QList>
#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace kodrix {

bool isValidUtf8(const QByteArray &bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    return !decoder.hasError();
}

namespace {

// Converts with iconv; an unconvertible sequence becomes U+FFFD / "?" and is skipped.
QByteArray convert(const char *to, const char *from, const QByteArray &input, const QByteArray &replacement,
                   int skipOnError) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);

    QByteArray output;
    QByteArray source = input;
    char *in = source.data();
    size_t inLeft = static_cast<size_t>(source.size());
    char buffer[4096];
    while (inLeft > 0) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated sequence at the end): replace and move on.
            output.append(replacement);
            size_t skip = std::min<size_t>(static_cast<size_t>(skipOnError), inLeft);
            in += skip;
            inLeft -= skip;
        }
    }
    return output;
}

} // namespace

QString fromGbk(const QByteArray &bytes) {
    return QString::fromUtf8(convert("UTF-8", "GBK", bytes, QByteArray("\xEF\xBF\xBD"), 1));
}

QByteArray toGbk(const QString &text) {
    // Work in UTF-32 so that a skipped character is always one whole code point.
    const QList<uint> codePoints = text.toUcs4();
    QByteArray utf32(reinterpret_cast<const char *>(codePoints.constData()),
                     static_cast<qsizetype>(codePoints.size() * 4));
    return convert("GBK", "UTF-32LE", utf32, QByteArray("?"), 4);
}

QString decodeUtf8OrGbk(const QByteArray &bytes) {
    if (isValidUtf8(bytes)) {
        QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
        return QString::fromUtf8(body);
    }
    return fromGbk(bytes);
}

} // namespace kodrix

namespace kodrix {

QString trimBlanksAndControls(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace kodrix
