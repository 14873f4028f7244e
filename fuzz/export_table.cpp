// Any memory image given to the export-table reader finds an export or nothing, and never
// reads outside the image.
#include "qr/ExportTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::byte> image(reinterpret_cast<const std::byte *>(data), size);
    kodrix::FindExport(image, std::string_view("PtQREncode"));
    kodrix::FindExport(image, std::uint16_t{1});
    if (size >= 2)
        kodrix::FindExport(image, static_cast<std::uint16_t>(data[0] | data[1] << 8));
    return 0;
}
