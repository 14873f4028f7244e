// Byte-exact reading: ZXing's Result::bytes() is the symbol's content as it was encoded,
// before any character-set guess turns it into text. Our symbols carry one 8-bit segment
// and no ECI, so those bytes are exactly the bytes that were encoded; text() would instead
// decode them with a guessed character set and could change them.
#include "qr/QrDecode.h"

#include "qr/ModuleGrid.h"

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <optional>

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

// Pixels a module in the redrawn symbol: enough for the pure-symbol reader, small enough
// that a version-40 symbol stays well under a megapixel.
constexpr int kRedrawnModulePixels = 4;

// The fallback for a symbol ZXing cannot sample itself, typically a dense one rescaled so
// that its modules are 2 or 3 pixels wide, unevenly: redraws the symbol on each possible
// module grid and reads the first one that decodes.
ZXing::Result readOnModuleGrid(const QImage &grey) {
    const int threshold = darkThreshold(grey);
    const std::optional<QRect> box = darkBoundingBox(grey, threshold);
    if (!box)
        return {};
    for (const int modules : candidateSides(grey, *box, threshold)) {
        ZXing::Result result = readSymbol(redrawOnGrid(grey, *box, threshold, modules, kRedrawnModulePixels), true);
        if (result.isValid())
            return result;
    }
    return {};
}

} // namespace

Result<QByteArray> decodeQrBytes(const QImage &picture) {
    if (picture.isNull())
        return Result<QByteArray>::failure(QStringLiteral("图片为空，无法识别二维码。"));
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QImage enlarged = grey;
    const int side = std::min(grey.width(), grey.height());
    if (side < kSmallestReadableSide) {
        const int factor = (kSmallestReadableSide + side - 1) / side;
        enlarged = grey.scaled(grey.width() * factor, grey.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    ZXing::Result result = readSymbol(enlarged, false);
    if (!result.isValid())
        result = readSymbol(enlarged, true);
    if (!result.isValid())
        result = readOnModuleGrid(grey);
    if (!result.isValid())
        return Result<QByteArray>::failure(QStringLiteral("图片中没有可识别的二维码。"));
    const ZXing::ByteArray &bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace kodrix
