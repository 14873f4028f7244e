#include "qr/ExportTable.h"

#include <cstring>

namespace kodrix {
namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D; // "MZ"
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNtHeadersOffsetField = 60;
constexpr std::size_t kNtHeadersSize = 248;
constexpr std::size_t kExportDirectoryField = 120;
constexpr std::size_t kExportDirectorySize = 40;

// Little-endian reads of an image, each refused when the bytes lie outside it.
class ImageReader {
public:
    explicit ImageReader(std::span<const std::byte> image) : image_(image) {}

    bool readable(std::uint64_t offset, std::uint64_t count) const {
        return offset <= image_.size() && count <= image_.size() - offset;
    }

    std::optional<std::uint32_t> u16(std::uint64_t offset) const { return read(offset, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const { return read(offset, 4); }

    // The zero-terminated text at `offset`, if its terminator lies inside the image.
    std::optional<std::string_view> text(std::uint64_t offset) const {
        if (offset >= image_.size())
            return std::nullopt;
        const auto *start = reinterpret_cast<const char *>(image_.data()) + offset;
        const std::size_t room = image_.size() - offset;
        const void *end = std::memchr(start, 0, room);
        if (!end)
            return std::nullopt;
        return std::string_view(start, static_cast<const char *>(end) - start);
    }

    bool matches(std::uint64_t offset, std::string_view expected) const {
        return readable(offset, expected.size()) &&
               std::memcmp(image_.data() + offset, expected.data(), expected.size()) == 0;
    }

private:
    std::optional<std::uint32_t> read(std::uint64_t offset, int width) const {
        if (!readable(offset, width))
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = (value << 8) | std::to_integer<std::uint32_t>(image_[offset + i]);
        return value;
    }

    std::span<const std::byte> image_;
};

struct ExportDirectory {
    std::uint32_t rva;
    std::uint32_t size;
    std::uint32_t base;
    std::uint32_t functionCount;
    std::uint32_t nameCount;
    std::uint32_t functions;
    std::uint32_t names;
    std::uint32_t ordinals;
};

std::optional<ExportDirectory> exportDirectory(const ImageReader &image) {
    if (!image.readable(0, kDosHeaderSize) || image.u16(0) != kDosSignature)
        return std::nullopt;
    const std::uint64_t nt = *image.u32(kNtHeadersOffsetField);
    if (!image.readable(nt, kNtHeadersSize) || !image.matches(nt, std::string_view("PE\0\0", 4)))
        return std::nullopt;
    ExportDirectory dir{};
    dir.rva = *image.u32(nt + kExportDirectoryField);
    dir.size = *image.u32(nt + kExportDirectoryField + 4);
    if (dir.rva == 0 || !image.readable(dir.rva, kExportDirectorySize))
        return std::nullopt;
    dir.base = *image.u32(dir.rva + 16);
    dir.functionCount = *image.u32(dir.rva + 20);
    dir.nameCount = *image.u32(dir.rva + 24);
    dir.functions = *image.u32(dir.rva + 28);
    dir.names = *image.u32(dir.rva + 32);
    dir.ordinals = *image.u32(dir.rva + 36);
    return dir;
}

// Index into the function table of a named export. The whole name table is scanned, so
// a later entry of the same name wins; entries outside the image are skipped.
std::optional<std::int64_t> indexOfName(const ImageReader &image, const ExportDirectory &dir, std::string_view name) {
    std::optional<std::int64_t> index;
    for (std::uint64_t i = 0; i < dir.nameCount; ++i) {
        const std::uint64_t entry = dir.names + 4 * i;
        if (!image.readable(entry, 4))
            break; // every later entry lies further out
        const std::optional<std::string_view> exported = image.text(*image.u32(entry));
        if (!exported || *exported != name)
            continue;
        if (const auto ordinal = image.u16(dir.ordinals + 2 * i))
            index = *ordinal;
    }
    return index;
}

} // namespace

std::optional<ExportEntry> FindExport(std::span<const std::byte> image, const ExportWanted &wanted) {
    if (const auto *ordinal = std::get_if<std::uint16_t>(&wanted); ordinal && *ordinal == 0)
        return std::nullopt;
    if (image.data() == nullptr)
        return std::nullopt;
    const ImageReader reader(image);
    const std::optional<ExportDirectory> dir = exportDirectory(reader);
    if (!dir)
        return std::nullopt;

    std::optional<std::int64_t> index;
    if (const auto *ordinal = std::get_if<std::uint16_t>(&wanted))
        index = std::int64_t{*ordinal} - dir->base;
    else
        index = indexOfName(reader, *dir, std::get<std::string_view>(wanted));
    if (!index || *index < 0 || *index >= dir->functionCount)
        return std::nullopt;

    const std::optional<std::uint32_t> rva = reader.u32(dir->functions + 4 * static_cast<std::uint64_t>(*index));
    if (!rva || *rva == 0)
        return std::nullopt;

    if (*rva >= dir->rva && *rva < std::uint64_t{dir->rva} + dir->size) {
        const std::optional<std::string_view> forwarder = reader.text(*rva);
        if (!forwarder)
            return std::nullopt;
        const std::size_t dot = forwarder->find('.');
        if (dot == std::string_view::npos)
            return std::nullopt;
        return ExportForwarder{std::string(forwarder->substr(0, dot)), std::string(forwarder->substr(dot + 1))};
    }
    // An export that points outside the module is no export of it.
    if (*rva >= image.size())
        return std::nullopt;
    return *rva;
}

std::optional<std::uintptr_t> FindExportAddress(std::span<const std::byte> image, const ExportWanted &wanted,
                                                const ForwarderResolver &resolve) {
    const std::optional<ExportEntry> entry = FindExport(image, wanted);
    if (!entry)
        return std::nullopt;
    if (const auto *offset = std::get_if<std::uint32_t>(&*entry))
        return reinterpret_cast<std::uintptr_t>(image.data()) + *offset;
    if (!resolve)
        return std::nullopt;
    const auto &forwarder = std::get<ExportForwarder>(*entry);
    return resolve(forwarder.module, forwarder.function);
}

} // namespace kodrix
