// Any bytes given to the JPEG and bitmap readers give a picture or an error, never a crash.
#include "qr/BitmapCodec.h"
#include "qr/JpegCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    kodrix::jpeg::decode(bytes);
    kodrix::bitmap::decode(bytes);
    return 0;
}
