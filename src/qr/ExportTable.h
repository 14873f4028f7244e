#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kodrix {

// Reads the export table of a PE32 module that the system has mapped into memory: the
// image is the module's memory from its base address on, so every relative address is an
// offset into it. Every structure is bounds-checked against the image; a malformed or
// cut-off table never reads outside it and simply finds nothing.

// The export wanted: a name, compared exactly and with letter case, or an ordinal.
// Ordinal 0 is the null value of the usual convention and finds nothing.
using ExportWanted = std::variant<std::string_view, std::uint16_t>;

// An export that the table hands on to another module ("MODULE.Function").
struct ExportForwarder {
    std::string module;
    std::string function;
    bool operator==(const ExportForwarder &) const = default;
};

// One export as the table gives it: its offset from the image base, or a forwarder.
using ExportEntry = std::variant<std::uint32_t, ExportForwarder>;

std::optional<ExportEntry> FindExport(std::span<const std::byte> image, const ExportWanted &wanted);

// Resolves a forwarder in its target module; the caller decides how modules are found.
using ForwarderResolver =
    std::function<std::optional<std::uintptr_t>(std::string_view module, std::string_view function)>;

// The export's address in memory (image base + offset). A forwarder is resolved through
// `resolve`; without one, or when it finds nothing, the result is none.
std::optional<std::uintptr_t> FindExportAddress(std::span<const std::byte> image, const ExportWanted &wanted,
                                                const ForwarderResolver &resolve = {});

} // namespace kodrix
