// Byte-exact reading: ZXing's Result::bytes() is the symbol's content as it was encoded,
// before any character-set guess turns it into text. Our symbols carry one 8-bit segment
// and no ECI, so those bytes are exactly the bytes that were encoded; text() would instead
// decode them with a guessed character set and could change them.
#include "qr/QrDecode.h"

#include <ZXing/ReadBarcode.h>

namespace kodrix {
namespace {

// Below this side a symbol of one pixel per module is enlarged before reading, so that
// its finder patterns are large enough for the detector.
constexpr int kSmallestReadableSide = 240;

ZXing::Result readSymbol(const QImage &grey, bool pure) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setIsPure(pure);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(grey.bytesPerLine()));
    return ZXing::ReadBarcode(view, hints);
}

} // namespace

Result<QByteArray> decodeQrBytes(const QImage &picture) {
    if (picture.isNull())
        return Result<QByteArray>::failure(QStringLiteral("图片为空，无法识别二维码。"));
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const int side = std::min(grey.width(), grey.height());
    if (side < kSmallestReadableSide) {
        const int factor = (kSmallestReadableSide + side - 1) / side;
        grey = grey.scaled(grey.width() * factor, grey.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    ZXing::Result result = readSymbol(grey, false);
    if (!result.isValid())
        result = readSymbol(grey, true);
    if (!result.isValid())
        return Result<QByteArray>::failure(QStringLiteral("图片中没有可识别的二维码。"));
    const ZXing::ByteArray &bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace kodrix
