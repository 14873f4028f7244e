// A small, bounds-checked walk over an .xls file: compound file sectors, the workbook
// stream, the records of its shared string table and the formula cells of its first sheet.
#include "import/XlsStreamScan.h"

#include "common/TextDecoding.h"
#include "import/CellText.h"

#include <QFile>

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace kodrix {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFAu;
constexpr std::uint16_t kSstRecord = 0x00FC;
constexpr std::uint16_t kContinueRecord = 0x003C;
constexpr std::uint16_t kEofRecord = 0x000A;
constexpr std::uint16_t kBofRecord = 0x0809;
constexpr std::uint16_t kBoundSheetRecord = 0x0085;
constexpr std::uint16_t kCodePageRecord = 0x0042;
constexpr std::uint16_t kFormulaRecord = 0x0006;
constexpr std::uint16_t kStringRecord = 0x0207;

std::uint16_t u16(std::span<const uchar> bytes, size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t u32(std::span<const uchar> bytes, size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The compound file container: sectors and the table that chains them.
class CompoundFile {
public:
    explicit CompoundFile(std::span<const uchar> bytes) : bytes_(bytes) {}

    bool readHeader() {
        if (bytes_.size() < 512)
            return false;
        const std::uint16_t shift = u16(bytes_, 0x1E);
        if (shift != 9 && shift != 12)
            return false;
        sectorSize_ = size_t{1} << shift;
        miniCutoff_ = u32(bytes_, 0x38);
        directoryStart_ = u32(bytes_, 0x30);

        const std::uint32_t fatSectors = u32(bytes_, 0x2C);
        if (fatSectors > sectorCount())
            return false;
        std::vector<std::uint32_t> fatSectorIds;
        for (std::uint32_t i = 0; i < 109 && fatSectorIds.size() < fatSectors; ++i)
            fatSectorIds.push_back(u32(bytes_, 0x4C + 4 * i));
        std::uint32_t difat = u32(bytes_, 0x44);
        for (std::uint32_t hops = 0; fatSectorIds.size() < fatSectors; ++hops) {
            const auto sector = this->sector(difat);
            if (!sector || hops > sectorCount())
                return false;
            const size_t perSector = sectorSize_ / 4 - 1;
            for (size_t i = 0; i < perSector && fatSectorIds.size() < fatSectors; ++i)
                fatSectorIds.push_back(u32(*sector, 4 * i));
            difat = u32(*sector, 4 * perSector);
        }
        for (std::uint32_t id : fatSectorIds) {
            const auto sector = this->sector(id);
            if (!sector)
                return false;
            for (size_t i = 0; i < sectorSize_ / 4; ++i)
                fat_.push_back(u32(*sector, 4 * i));
        }
        return true;
    }

    // The bytes of a stream kept in regular sectors, cut to `size` when given.
    std::optional<std::vector<uchar>> stream(std::uint32_t start, std::optional<size_t> size = {}) const {
        std::vector<uchar> out;
        for (std::uint32_t id = start; id != kEndOfChain; id = fat_[id]) {
            const auto sector = this->sector(id);
            if (!sector || id >= fat_.size() || out.size() > bytes_.size())
                return std::nullopt;
            out.insert(out.end(), sector->begin(), sector->end());
            if (size && out.size() >= *size)
                break;
        }
        if (size) {
            if (out.size() < *size)
                return std::nullopt;
            out.resize(*size);
        }
        return out;
    }

    // The start and size of the workbook stream ("Workbook", or "Book" in Excel 5.0/95).
    std::optional<std::pair<std::uint32_t, size_t>> workbookStream() const {
        const auto directory = stream(directoryStart_);
        if (!directory)
            return std::nullopt;
        for (size_t at = 0; at + 128 <= directory->size(); at += 128) {
            const std::span<const uchar> entry(directory->data() + at, 128);
            const std::uint16_t nameBytes = u16(entry, 0x40);
            if (entry[0x42] != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            QString name;
            for (size_t i = 0; i + 2 < nameBytes; i += 2)
                name += QChar(u16(entry, i));
            if (name.compare(u"Workbook", Qt::CaseInsensitive) == 0 ||
                name.compare(u"Book", Qt::CaseInsensitive) == 0)
                return std::pair{u32(entry, 0x74), static_cast<size_t>(u32(entry, 0x78))};
        }
        return std::nullopt;
    }

    size_t miniCutoff() const { return miniCutoff_; }

private:
    std::optional<std::span<const uchar>> sector(std::uint32_t id) const {
        if (id > kLastRegularSector)
            return std::nullopt;
        const size_t offset = (size_t{id} + 1) * sectorSize_;
        if (offset + sectorSize_ > bytes_.size())
            return std::nullopt;
        return bytes_.subspan(offset, sectorSize_);
    }
    size_t sectorCount() const { return bytes_.size() / sectorSize_; }

    std::span<const uchar> bytes_;
    size_t sectorSize_ = 512;
    size_t miniCutoff_ = 4096;
    std::uint32_t directoryStart_ = kEndOfChain;
    std::vector<std::uint32_t> fat_;
};

// Reads the shared string table record by record and counts, for each text, the record
// boundaries its characters run over.
class StringTable {
public:
    explicit StringTable(std::vector<std::span<const uchar>> records) : records_(std::move(records)) {}

    SharedStringCheck check() {
        const auto counts = bytes(8);
        if (!counts)
            return SharedStringCheck::Unknown;
        const std::uint32_t unique = u32(*counts, 4);
        if (unique > kMaxSharedStrings)
            return SharedStringCheck::TooMany;
        for (std::uint32_t i = 0; i < unique; ++i) {
            const auto header = bytes(3);
            if (!header)
                return SharedStringCheck::Unknown;
            std::uint32_t characters = u16(*header, 0);
            const uchar flags = (*header)[2];
            std::uint32_t runs = 0;
            std::uint32_t extension = 0;
            if (flags & 0x08) {
                const auto field = bytes(2);
                if (!field)
                    return SharedStringCheck::Unknown;
                runs = u16(*field, 0);
            }
            if (flags & 0x04) {
                const auto field = bytes(4);
                if (!field)
                    return SharedStringCheck::Unknown;
                extension = u32(*field, 0);
            }
            bool wide = flags & 0x01;
            int boundaries = 0;
            while (characters > 0) {
                const size_t width = wide ? 2 : 1;
                const size_t fit = std::min<size_t>(characters, (current().size() - at_) / width);
                at_ += fit * width;
                characters -= static_cast<std::uint32_t>(fit);
                if (characters == 0)
                    break;
                // The characters go on in the next record, which starts with a new flags byte.
                if (!nextRecord() || current().empty())
                    return SharedStringCheck::Unknown;
                wide = current()[0] & 0x01;
                at_ = 1;
                if (++boundaries > 1)
                    return SharedStringCheck::TooLong;
            }
            if (!skip(size_t{runs} * 4 + extension))
                return SharedStringCheck::Unknown;
        }
        return SharedStringCheck::Fine;
    }

private:
    std::span<const uchar> current() const { return records_[record_]; }

    bool nextRecord() {
        if (record_ + 1 >= records_.size())
            return false;
        ++record_;
        at_ = 0;
        return true;
    }

    // `count` bytes that may run over into the next record, copied together.
    std::optional<std::span<const uchar>> bytes(size_t count) {
        buffer_.clear();
        while (buffer_.size() < count) {
            if (at_ >= current().size() && !nextRecord())
                return std::nullopt;
            const size_t take = std::min(count - buffer_.size(), current().size() - at_);
            buffer_.insert(buffer_.end(), current().begin() + static_cast<std::ptrdiff_t>(at_),
                           current().begin() + static_cast<std::ptrdiff_t>(at_ + take));
            at_ += take;
        }
        return std::span<const uchar>(buffer_);
    }

    bool skip(size_t count) {
        while (count > 0) {
            if (at_ >= current().size() && !nextRecord())
                return false;
            const size_t take = std::min(count, current().size() - at_);
            at_ += take;
            count -= take;
        }
        return true;
    }

    std::vector<std::span<const uchar>> records_;
    size_t record_ = 0;
    size_t at_ = 0;
    std::vector<uchar> buffer_;
};

struct Record {
    std::uint16_t kind;
    std::span<const uchar> body;
    size_t next; // offset of the record after this one
};

std::optional<Record> recordAt(std::span<const uchar> stream, size_t at) {
    if (at + 4 > stream.size())
        return std::nullopt;
    const size_t length = u16(stream, at + 2);
    if (at + 4 + length > stream.size())
        return std::nullopt;
    return Record{u16(stream, at), stream.subspan(at + 4, length), at + 4 + length};
}

// The workbook globals: the shared string table, the code page and where the first sheet starts.
struct Globals {
    SharedStringCheck strings = SharedStringCheck::Unknown;
    std::uint16_t codePage = 1252;
    std::optional<size_t> firstSheet;
};

Globals readGlobals(std::span<const uchar> stream) {
    Globals globals;
    std::vector<std::span<const uchar>> table;
    bool ended = false;
    for (auto record = recordAt(stream, 0); record; record = recordAt(stream, record->next)) {
        if (record->kind != kContinueRecord && !table.empty() &&
            globals.strings == SharedStringCheck::Unknown)
            globals.strings = StringTable(table).check();
        if (record->kind == kSstRecord && table.empty())
            table.push_back(record->body);
        else if (record->kind == kContinueRecord && !table.empty())
            table.push_back(record->body);
        else if (record->kind == kCodePageRecord && record->body.size() >= 2)
            globals.codePage = u16(record->body, 0);
        else if (record->kind == kBoundSheetRecord && record->body.size() >= 6 && !globals.firstSheet &&
                 record->body[5] == 0) // the first sheet that is a worksheet
            globals.firstSheet = u32(record->body, 0);
        else if (record->kind == kEofRecord) {
            ended = true;
            break;
        }
    }
    if (ended && table.empty())
        globals.strings = SharedStringCheck::Fine; // no table (Excel 5.0/95 keeps texts in the cells)
    return globals;
}

QString errorText(uchar code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#N/A");
    }
}

// The text of a STRING record, which follows a formula whose result is a text.
QString formulaString(std::span<const uchar> body, bool biff8, std::uint16_t codePage) {
    if (body.size() < 2)
        return {};
    const size_t characters = u16(body, 0);
    if (!biff8) {
        const QByteArray bytes(reinterpret_cast<const char *>(body.data() + 2),
                               static_cast<qsizetype>(std::min(characters, body.size() - 2)));
        return codePage == 936 ? fromGbk(bytes) : QString::fromLatin1(bytes);
    }
    if (body.size() < 3)
        return {};
    const bool wide = body[2] & 0x01;
    const size_t available = (body.size() - 3) / (wide ? 2 : 1);
    const size_t count = std::min(characters, available);
    QString text;
    text.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i)
        text += QChar(wide ? u16(body, 3 + 2 * i) : body[3 + i]);
    return text;
}

QHash<std::pair<int, int>, QString> readFormulaResults(std::span<const uchar> stream, size_t sheet,
                                                       std::uint16_t codePage) {
    QHash<std::pair<int, int>, QString> results;
    const auto bof = recordAt(stream, sheet);
    if (!bof || bof->kind != kBofRecord || bof->body.size() < 2)
        return results;
    const bool biff8 = u16(bof->body, 0) == 0x0600;
    for (auto record = recordAt(stream, bof->next); record; record = recordAt(stream, record->next)) {
        if (record->kind == kEofRecord)
            break;
        if (record->kind != kFormulaRecord || record->body.size() < 14)
            continue;
        const std::pair<int, int> cell{u16(record->body, 0), u16(record->body, 2)};
        const auto result = record->body.subspan(6, 8);
        if (u16(result, 6) != 0xFFFF) {
            double number = 0;
            std::memcpy(&number, result.data(), sizeof number);
            results.insert(cell, numberCellText(number));
            continue;
        }
        switch (result[0]) {
        case 0: // a text, in the STRING record that follows
            if (const auto text = recordAt(stream, record->next); text && text->kind == kStringRecord)
                results.insert(cell, formulaString(text->body, biff8, codePage));
            break;
        case 1:
            results.insert(cell, result[2] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
            break;
        case 2:
            results.insert(cell, errorText(result[2]));
            break;
        default: // the empty text
            break;
        }
    }
    return results;
}

} // namespace

XlsStreamScan scanXlsStream(const QString &file) {
    XlsStreamScan scan;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() == 0)
        return scan;
    const uchar *mapped = in.map(0, in.size());
    if (!mapped)
        return scan;
    const std::span<const uchar> bytes(mapped, static_cast<size_t>(in.size()));

    CompoundFile container(bytes);
    if (!container.readHeader())
        return scan;
    const auto location = container.workbookStream();
    // A stream below the cutoff lives in the mini stream, which this walk does not read. It
    // is too short to hold a text over two record boundaries; its formulas stay unread.
    if (!location || location->second < container.miniCutoff()) {
        scan.strings = location ? SharedStringCheck::Fine : SharedStringCheck::Unknown;
        return scan;
    }
    const auto stream = container.stream(location->first, location->second);
    if (!stream)
        return scan;
    const Globals globals = readGlobals(*stream);
    scan.strings = globals.strings;
    if (globals.firstSheet)
        scan.formulaResults = readFormulaResults(*stream, *globals.firstSheet, globals.codePage);
    return scan;
}

} // namespace kodrix
