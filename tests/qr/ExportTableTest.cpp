// The export-table reader on PE32 images built here in memory, laid out as the loader maps
// them. Each image is copied so that its last byte sits right before an unreadable page:
// a read past the end crashes the test instead of passing unnoticed.
#include "qr/ExportTable.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kodrix {

void PrintTo(const ExportForwarder &forwarder, std::ostream *out) {
    *out << forwarder.module << "." << forwarder.function;
}

namespace {

// Places a copy of the bytes so that they end exactly at a page that cannot be read.
class GuardedCopy {
public:
    explicit GuardedCopy(const std::vector<std::byte> &bytes) : size_(bytes.size()) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t dataPages = (size_ + page - 1) / page;
        mappedSize_ = (dataPages + 1) * page;
        mapping_ = mmap(nullptr, mappedSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping_ == MAP_FAILED)
            throw std::runtime_error("mmap failed");
        auto *guard = static_cast<std::byte *>(mapping_) + dataPages * page;
        mprotect(guard, page, PROT_NONE);
        start_ = guard - size_;
        if (size_)
            std::memcpy(start_, bytes.data(), size_);
    }
    ~GuardedCopy() { munmap(mapping_, mappedSize_); }
    GuardedCopy(const GuardedCopy &) = delete;
    GuardedCopy &operator=(const GuardedCopy &) = delete;

    std::span<const std::byte> image() const { return {start_, size_}; }

private:
    std::size_t size_;
    std::size_t mappedSize_ = 0;
    void *mapping_ = nullptr;
    std::byte *start_ = nullptr;
};

// A PE32 image with an export table: DOS header at 0, NT headers at 0x80, the exported
// code at 0x200, then the export directory at 0x400 followed by the function table, the
// ordinal table, the name table, the names and the forwarder texts.
struct PeImage {
    struct Function {
        std::uint32_t rva = 0;   // 0: an ordinal without a function
        std::string forwarder;   // when set, the entry points at this text instead
    };
    struct Name {
        std::string text;
        std::uint16_t index;
    };

    std::uint32_t ordinalBase = 5;
    std::vector<Function> functions;
    std::vector<Name> names;

    static constexpr std::uint32_t kNtHeaders = 0x80;
    static constexpr std::uint32_t kDirectory = 0x400;
    std::uint32_t functionTable = 0, ordinalTable = 0, nameTable = 0, textsStart = 0;
    std::uint32_t lastNameText = 0;
    std::vector<std::byte> bytes;

    void put(std::uint32_t at, std::uint32_t value, int width = 4) {
        if (bytes.size() < at + width)
            bytes.resize(at + width);
        for (int i = 0; i < width; ++i)
            bytes[at + i] = std::byte((value >> (8 * i)) & 0xFF);
    }
    std::uint32_t putText(std::uint32_t at, const std::string &text) {
        bytes.resize(std::max<std::size_t>(bytes.size(), at + text.size() + 1));
        std::memcpy(bytes.data() + at, text.data(), text.size());
        bytes[at + text.size()] = std::byte{0};
        return at + static_cast<std::uint32_t>(text.size()) + 1;
    }

    PeImage &build() {
        bytes.assign(kDirectory + 40, std::byte{0});
        put(0, 0x5A4D, 2);
        put(60, kNtHeaders);
        putText(kNtHeaders, "PE");
        put(kNtHeaders + 2, 0, 2);
        functionTable = kDirectory + 40;
        ordinalTable = functionTable + 4 * static_cast<std::uint32_t>(functions.size());
        nameTable = ordinalTable + 2 * static_cast<std::uint32_t>(names.size());
        textsStart = nameTable + 4 * static_cast<std::uint32_t>(names.size());
        std::uint32_t text = textsStart;
        for (std::size_t i = 0; i < names.size(); ++i) {
            put(ordinalTable + 2 * static_cast<std::uint32_t>(i), names[i].index, 2);
            put(nameTable + 4 * static_cast<std::uint32_t>(i), text);
            lastNameText = text;
            text = putText(text, names[i].text);
        }
        for (std::size_t i = 0; i < functions.size(); ++i) {
            std::uint32_t rva = functions[i].rva;
            if (!functions[i].forwarder.empty()) {
                rva = text;
                text = putText(text, functions[i].forwarder);
            }
            put(functionTable + 4 * static_cast<std::uint32_t>(i), rva);
        }
        put(kNtHeaders + 120, kDirectory);
        put(kNtHeaders + 124, text - kDirectory);
        put(kDirectory + 16, ordinalBase);
        put(kDirectory + 20, static_cast<std::uint32_t>(functions.size()));
        put(kDirectory + 24, static_cast<std::uint32_t>(names.size()));
        put(kDirectory + 28, functionTable);
        put(kDirectory + 32, nameTable);
        put(kDirectory + 36, ordinalTable);
        return *this;
    }

    void cutTo(std::uint32_t size) { bytes.resize(size); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes.size()); }
};

PeImage standardImage() {
    PeImage pe;
    pe.functions = {{0x200, {}},          {0x210, {}}, {0, {}}, {0, "OTHER.RealFunction"},
                    {0, "NoDotInThisText"}, {0, "NTDLL.Rtl.Fn"}, {0x250, {}}};
    pe.names = {{"Alpha", 0}, {"Beta", 1}, {"Gamma", 2}, {"Delta", 3}, {"Epsilon", 4}, {"Eta", 5}};
    return pe;
}

using Expected = std::optional<ExportEntry>;
const Expected kNone = std::nullopt;

struct Case {
    const char *what;
    std::function<void(PeImage &)> change; // applied after build()
    ExportWanted wanted;
    Expected expected;
};

std::uint16_t ordinal(int value) { return static_cast<std::uint16_t>(value); }

TEST(ExportTable, FindsExportsAsTheTableSays) {
    const auto keep = [](PeImage &) {};
    const std::vector<Case> cases = {
        {"name", keep, "Alpha", ExportEntry{0x200u}},
        {"second name", keep, "Beta", ExportEntry{0x210u}},
        {"name not exported", keep, "Zeta", kNone},
        {"name differing in case", keep, "alpha", kNone},
        {"prefix of a name", keep, "Alph", kNone},
        {"name with more after it", keep, "AlphaX", kNone},
        {"empty name", keep, "", kNone},
        {"ordinal at Base", keep, ordinal(5), ExportEntry{0x200u}},
        {"last ordinal", keep, ordinal(11), ExportEntry{0x250u}},
        {"ordinal whose index is NumberOfFunctions", // the entry after the table is a valid one
         [](PeImage &pe) { pe.put(PeImage::kDirectory + 20, 6); }, ordinal(11), kNone},
        {"ordinal past the table", keep, ordinal(12), kNone},
        {"ordinal below Base", keep, ordinal(4), kNone},
        {"ordinal 0 (null)", keep, ordinal(0), kNone},
        {"function entry 0 by name", keep, "Gamma", kNone},
        {"function entry 0 by ordinal", keep, ordinal(7), kNone},
        {"forwarder", keep, "Delta", ExportEntry{ExportForwarder{"OTHER", "RealFunction"}}},
        {"forwarder split at its first dot", keep, "Eta", ExportEntry{ExportForwarder{"NTDLL", "Rtl.Fn"}}},
        {"forwarder without a dot", keep, "Epsilon", kNone},
        {"later of two equal names wins",
         [](PeImage &pe) {
             pe.names.push_back({"Alpha", 1});
             pe.build();
         },
         "Alpha", ExportEntry{0x210u}},
        {"name count larger than the table", [](PeImage &pe) { pe.put(PeImage::kDirectory + 24, 0xFFFFFFFF); },
         "Beta", ExportEntry{0x210u}},
        {"name table entry across the end", [](PeImage &pe) { pe.put(PeImage::kDirectory + 32, pe.size() - 2); },
         "Alpha", kNone},
        {"ordinal table entry across the end", [](PeImage &pe) { pe.put(PeImage::kDirectory + 36, pe.size() - 1); },
         "Alpha", kNone},
        {"function table entry across the end", [](PeImage &pe) { pe.put(PeImage::kDirectory + 28, pe.size() - 3); },
         ordinal(5), kNone},
        {"function table far outside the image", [](PeImage &pe) { pe.put(PeImage::kDirectory + 28, 0xFFFFFFF0); },
         ordinal(5), kNone},
        {"function count larger than the table", [](PeImage &pe) { pe.put(PeImage::kDirectory + 20, 0xFFFFFFFF); },
         ordinal(0xFFFF), kNone},
        {"export pointing outside the image", [](PeImage &pe) { pe.put(pe.functionTable, 0x00FFFFFF); }, "Alpha",
         kNone},
        {"no export directory", [](PeImage &pe) { pe.put(PeImage::kNtHeaders + 120, 0); }, "Alpha", kNone},
        {"export directory outside the image", [](PeImage &pe) { pe.put(PeImage::kNtHeaders + 120, 0xFFFFFFF0); },
         "Alpha", kNone},
        {"no MZ signature", [](PeImage &pe) { pe.put(0, 0x4D5A, 2); }, "Alpha", kNone},
        {"no PE signature", [](PeImage &pe) { pe.put(PeImage::kNtHeaders + 2, 0x0001, 2); }, "Alpha", kNone},
        {"NT headers outside the image", [](PeImage &pe) { pe.put(60, 0xFFFFFFFC); }, "Alpha", kNone},
        {"empty image", [](PeImage &pe) { pe.cutTo(0); }, "Alpha", kNone},
        {"cut in the DOS header", [](PeImage &pe) { pe.cutTo(63); }, "Alpha", kNone},
        {"cut in the NT headers", [](PeImage &pe) { pe.cutTo(PeImage::kNtHeaders + 247); }, "Alpha", kNone},
        {"cut in the export directory", [](PeImage &pe) { pe.cutTo(PeImage::kDirectory + 39); }, ordinal(5), kNone},
        {"cut in the function table", [](PeImage &pe) { pe.cutTo(pe.ordinalTable - 1); }, ordinal(11), kNone},
        {"cut in the ordinal table", [](PeImage &pe) { pe.cutTo(pe.nameTable - 1); }, "Eta", kNone},
        {"cut in the name table", [](PeImage &pe) { pe.cutTo(pe.textsStart - 1); }, "Eta", kNone},
        {"cut before a name's terminating zero", [](PeImage &pe) { pe.cutTo(pe.lastNameText + 3); }, "Eta", kNone},
        {"cut before a forwarder's terminating zero",
         [](PeImage &pe) { pe.cutTo(pe.size() - 1); }, "Eta", kNone},
        {"nothing cut: the last forwarder is found", keep, "Eta",
         ExportEntry{ExportForwarder{"NTDLL", "Rtl.Fn"}}},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PeImage pe = standardImage();
        pe.build();
        c.change(pe);
        const GuardedCopy copy(pe.bytes);
        EXPECT_EQ(FindExport(copy.image(), c.wanted), c.expected);
    }
}

TEST(ExportTable, NullBaseFindsNothing) {
    EXPECT_EQ(FindExport({}, ExportWanted{"Alpha"}), kNone);
    EXPECT_EQ(FindExportAddress({}, ExportWanted{ordinal(5)}), std::nullopt);
}

TEST(ExportTable, AddressIsBasePlusOffsetAndForwardersGoToTheResolver) {
    PeImage pe = standardImage();
    pe.build();
    const GuardedCopy copy(pe.bytes);
    const auto base = reinterpret_cast<std::uintptr_t>(copy.image().data());

    EXPECT_EQ(FindExportAddress(copy.image(), "Beta"), base + 0x210);
    EXPECT_EQ(FindExportAddress(copy.image(), "Delta"), std::nullopt) << "no resolver given";

    std::vector<std::string> asked;
    const ForwarderResolver resolver = [&](std::string_view module, std::string_view function) {
        asked.push_back(std::string(module) + "|" + std::string(function));
        return module == "OTHER" ? std::optional<std::uintptr_t>(0x1234) : std::nullopt;
    };
    EXPECT_EQ(FindExportAddress(copy.image(), "Delta", resolver), 0x1234u);
    EXPECT_EQ(FindExportAddress(copy.image(), "Eta", resolver), std::nullopt);
    EXPECT_EQ(FindExportAddress(copy.image(), "Epsilon", resolver), std::nullopt);
    EXPECT_EQ(asked, (std::vector<std::string>{"OTHER|RealFunction", "NTDLL|Rtl.Fn"}));
}

} // namespace
} // namespace kodrix
