// Mask choice on bit rows and bit columns: a symbol line of up to 177 modules is one to
// three 64-bit words (bit x = module x, 1 = dark), and every penalty rule is a handful of
// shifts, ANDs and population counts over those words.
#include "MaskChoice.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pt {
namespace {

constexpr int kMaxWidth = 177;
constexpr int kMaxWords = 3;

// Penalty weights: a run of five (plus one for each module beyond), a 2 x 2 block,
// a finder-like pattern, and each full 5 % step the dark share is away from half.
constexpr int kRunWeight = 3;
constexpr int kBlockWeight = 3;
constexpr int kFinderWeight = 40;
constexpr int kBalanceWeight = 10;

using Word = std::uint64_t;

template <int N> struct Bits {
    Word w[N];
};

template <int N> inline Bits<N> operator&(const Bits<N> &a, const Bits<N> &b) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = a.w[i] & b.w[i];
    return r;
}
template <int N> inline Bits<N> operator|(const Bits<N> &a, const Bits<N> &b) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = a.w[i] | b.w[i];
    return r;
}
template <int N> inline Bits<N> operator^(const Bits<N> &a, const Bits<N> &b) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = a.w[i] ^ b.w[i];
    return r;
}
template <int N> inline Bits<N> operator~(const Bits<N> &a) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = ~a.w[i];
    return r;
}
// Bit x of the result is bit x + n of `a` (0 past the end); 0 < n < 64.
template <int N> inline Bits<N> ahead(const Bits<N> &a, int n) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = (a.w[i] >> n) | (i + 1 < N ? a.w[i + 1] << (64 - n) : 0);
    return r;
}
// Bit x of the result is bit x - n of `a` (0 before the start); 0 < n < 64.
template <int N> inline Bits<N> back(const Bits<N> &a, int n) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = (a.w[i] << n) | (i > 0 ? a.w[i - 1] >> (64 - n) : 0);
    return r;
}
template <int N> inline int count(const Bits<N> &a) {
    int c = 0;
    for (int i = 0; i < N; ++i)
        c += std::popcount(a.w[i]);
    return c;
}
template <int N> inline bool any(const Bits<N> &a) {
    Word o = 0;
    for (int i = 0; i < N; ++i)
        o |= a.w[i];
    return o != 0;
}
template <int N> inline Bits<N> firstBits(int n) {
    Bits<N> r;
    for (int i = 0; i < N; ++i) {
        const int inWord = n - 64 * i;
        r.w[i] = inWord >= 64 ? ~Word{0} : inWord <= 0 ? 0 : (Word{1} << inWord) - 1;
    }
    return r;
}
template <int N> inline void setBit(Bits<N> &a, int index, bool value) {
    const Word bit = Word{1} << (index & 63);
    a.w[index >> 6] = value ? a.w[index >> 6] | bit : a.w[index >> 6] & ~bit;
}

// Whether mask `mask` flips the data module in column x, row y.
bool flips(int mask, int x, int y) {
    switch (mask) {
    case 0: return (x + y) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (x + y) % 3 == 0;
    case 4: return (y / 2 + x / 3) % 2 == 0;
    case 5: return (x * y) % 2 + (x * y) % 3 == 0;
    case 6: return ((x * y) % 2 + (x * y) % 3) % 2 == 0;
    default: return ((x * y) % 3 + (x + y) % 2) % 2 == 0;
    }
}

// The eight masks as bit rows and bit columns of the largest symbol; a smaller symbol
// uses the top-left corner.
struct MaskPatterns {
    Word row[kMaskCount][kMaxWidth][kMaxWords]; // bit x of row y
    Word col[kMaskCount][kMaxWidth][kMaxWords]; // bit y of column x

    MaskPatterns() : row{}, col{} {
        for (int k = 0; k < kMaskCount; ++k)
            for (int y = 0; y < kMaxWidth; ++y)
                for (int x = 0; x < kMaxWidth; ++x)
                    if (flips(k, x, y)) {
                        row[k][y][x >> 6] |= Word{1} << (x & 63);
                        col[k][x][y >> 6] |= Word{1} << (y & 63);
                    }
    }
};

const MaskPatterns &maskPatterns() {
    static const MaskPatterns patterns;
    return patterns;
}

template <int N> inline Bits<N> patternBits(const Word (&words)[kMaxWords]) {
    Bits<N> r;
    for (int i = 0; i < N; ++i)
        r.w[i] = words[i];
    return r;
}

constexpr unsigned computeFormatWord(int level, int mask) {
    // Level indicators in libqrencode's level order L, M, Q, H.
    constexpr unsigned kLevelBits[4] = {1, 0, 3, 2};
    const unsigned data = (kLevelBits[level] << 3) | static_cast<unsigned>(mask);
    unsigned remainder = data << 10;
    for (int bit = 14; bit >= 10; --bit)
        if (remainder & (1u << bit))
            remainder ^= 0x537u << (bit - 10);
    return ((data << 10) | remainder) ^ 0x5412u;
}

struct FormatWords {
    unsigned word[4][kMaskCount];
    constexpr FormatWords() : word{} {
        for (int level = 0; level < 4; ++level)
            for (int mask = 0; mask < kMaskCount; ++mask)
                word[level][mask] = computeFormatWord(level, mask);
    }
};
constexpr FormatWords kFormatWords;
static_assert(kFormatWords.word[1][0] == 0x5412u, "level M, mask 0 is the XOR pattern itself");

struct Place {
    int x, y;
};
constexpr int kFormatBits = 15;

// The two places of format bit `bit` (0 = least significant): one copy along row 8 at the
// right and down column 8 at the bottom, the other around the top-left finder.
void formatPlaces(int width, int bit, Place (&places)[2]) {
    if (bit < 8) {
        places[0] = {width - 1 - bit, 8};
        places[1] = {8, bit < 6 ? bit : bit + 1};
    } else {
        const int i = bit - 8;
        places[0] = {8, width - 7 + i};
        places[1] = {i == 0 ? 7 : 6 - i, 8};
    }
}

// Bit i of an index to bit 0 of byte i.
struct SpreadTable {
    Word bytes[256];
    constexpr SpreadTable() : bytes{} {
        for (unsigned index = 0; index < 256; ++index)
            for (int bit = 0; bit < 8; ++bit)
                if (index & (1u << bit))
                    bytes[index] |= Word{1} << (8 * bit);
    }
};
constexpr SpreadTable kSpread;

bool isSymbolWidth(int width) { return width >= 21 && width <= kMaxWidth && (width - 17) % 4 == 0; }

bool levelValid(int level) { return level >= 0 && level < 4; }

// Whether the format information in the symbol reads as mask 0 at `level`.
bool carriesMaskZero(const unsigned char *modules, int width, int level) {
    const unsigned word = kFormatWords.word[level][0];
    for (int bit = 0; bit < kFormatBits; ++bit) {
        Place places[2];
        formatPlaces(width, bit, places);
        for (const Place &p : places) {
            const unsigned char module = modules[p.y * width + p.x];
            if (!(module & 0x80) || (module & 1) != ((word >> bit) & 1))
                return false;
        }
    }
    return true;
}

// Finder-like patterns whose modules are 2 or more wide, counted on the line's runs (rare:
// only lines that have a light pair before six dark modules get here). Runs alternate
// starting with light; run 0 may be empty. The line's ends count as light of any length.
template <int N> int scaledFinders(const Bits<N> &dark, const Bits<N> &valid, int width) {
    const Bits<N> changes = (dark ^ back(dark, 1)) & valid;
    int runs[kMaxWidth + 2];
    int n = 0, start = 0;
    for (int i = 0; i < N; ++i)
        for (Word word = changes.w[i]; word; word &= word - 1) {
            const int at = 64 * i + std::countr_zero(word);
            runs[n++] = at - start;
            start = at;
        }
    runs[n++] = width - start;

    int found = 0;
    for (int i = 3; i + 2 < n; i += 2) {
        const int centre = runs[i];
        if (centre < 6 || centre % 3 != 0)
            continue;
        const int unit = centre / 3;
        if (runs[i - 2] != unit || runs[i - 1] != unit || runs[i + 1] != unit || runs[i + 2] != unit)
            continue;
        if (i == 3 || runs[i - 3] >= 4 * unit || i + 3 >= n - 1 || runs[i + 3] >= 4 * unit)
            ++found;
    }
    return found;
}

// Run and finder-like penalties of one row or column.
template <int N> int linePenalty(const Bits<N> &dark, const Bits<N> &valid, const Bits<N> &validButLast,
                                 int width) {
    // Runs: same[x] when modules x and x + 1 match; five[x] when x .. x + 4 all match.
    // A run of length L >= 5 sets L - 4 bits of five[] and begins once.
    const Bits<N> same = ~(dark ^ ahead(dark, 1)) & validButLast;
    const Bits<N> five = same & ahead(same, 1) & ahead(same, 2) & ahead(same, 3);
    const int runStarts = count(five & ~back(five, 1));
    int penalty = count(five) + runStarts * (kRunWeight - 1);

    // Dark-light-dark dark dark-light-dark, exactly (light, or the line's end, on both
    // sides), with four light modules before or after; past the ends is light.
    const Bits<N> a1 = ahead(dark, 1), a2 = ahead(dark, 2), a3 = ahead(dark, 3), a4 = ahead(dark, 4);
    const Bits<N> a5 = ahead(dark, 5), a6 = ahead(dark, 6), a7 = ahead(dark, 7);
    const Bits<N> b1 = back(dark, 1), b2 = back(dark, 2);
    const Bits<N> core = dark & ~a1 & a2 & a3 & a4 & ~a5 & a6 & ~a7 & ~b1;
    if (any(core)) {
        const Bits<N> lightBefore = ~(b1 | b2 | back(dark, 3) | back(dark, 4));
        const Bits<N> lightAfter = ~(a7 | ahead(dark, 8) | ahead(dark, 9) | ahead(dark, 10));
        penalty += kFinderWeight * count(core & (lightBefore | lightAfter));
    }
    // The same pattern at twice the module size or more needs two light modules before
    // six dark ones.
    if (any(dark & a1 & a2 & a3 & a4 & a5 & ~b1 & ~b2))
        penalty += kFinderWeight * scaledFinders(dark, valid, width);
    return penalty;
}

template <int N> int penaltyOf(const Bits<N> *rows, const Bits<N> *cols, int width) {
    const Bits<N> valid = firstBits<N>(width);
    const Bits<N> validButLast = firstBits<N>(width - 1);
    int penalty = 0, dark = 0;
    for (int y = 0; y < width; ++y) {
        dark += count(rows[y]);
        penalty += linePenalty(rows[y], valid, validButLast, width);
    }
    for (int x = 0; x < width; ++x)
        penalty += linePenalty(cols[x], valid, validButLast, width);
    for (int y = 0; y + 1 < width; ++y) {
        const Bits<N> vertical = ~(rows[y] ^ rows[y + 1]);
        const Bits<N> horizontal = ~(rows[y] ^ ahead(rows[y], 1));
        penalty += kBlockWeight * count(vertical & ahead(vertical, 1) & horizontal & validButLast);
    }
    // The dark share is rounded to a whole percent before the 5 % steps are taken, as
    // libqrencode does (a plain floor of the share would differ right below a step).
    const int modules = width * width;
    const int percent = (200 * dark + modules) / modules / 2;
    penalty += std::abs(percent - 50) / 5 * kBalanceWeight;
    return penalty;
}

// Bit rows and columns of a symbol: colour, and which modules are data.
template <int N> struct Planes {
    std::vector<Bits<N>> storage;
    Bits<N> *colourRows, *dataRows, *colourCols, *dataCols, *rows, *cols;

    explicit Planes(int width) : storage(static_cast<std::size_t>(6 * width), Bits<N>{}) {
        Bits<N> *p = storage.data();
        colourRows = p;
        dataRows = p + width;
        colourCols = p + 2 * width;
        dataCols = p + 3 * width;
        rows = p + 4 * width;
        cols = p + 5 * width;
    }

    void read(const unsigned char *modules, int width) {
        for (int y = 0; y < width; ++y) {
            const unsigned char *line = modules + static_cast<std::size_t>(y) * width;
            const int rowShift = y & 63, rowWord = y >> 6;
            for (int word = 0; word < N; ++word) {
                // Gathered in registers: the column stores would otherwise keep the row
                // words in memory.
                Word colourBits = 0, dataBits = 0;
                const int end = width < 64 * (word + 1) ? width : 64 * (word + 1);
                for (int x = 64 * word; x < end; ++x) {
                    const Word colour = line[x] & 1u;
                    const Word data = (line[x] >> 7) ^ 1u;
                    colourBits |= colour << (x & 63);
                    dataBits |= data << (x & 63);
                    colourCols[x].w[rowWord] |= colour << rowShift;
                    dataCols[x].w[rowWord] |= data << rowShift;
                }
                colourRows[y].w[word] = colourBits;
                dataRows[y].w[word] = dataBits;
            }
        }
    }

    // Takes mask 0 off the data modules.
    void unmask(int width) {
        const MaskPatterns &patterns = maskPatterns();
        for (int i = 0; i < width; ++i) {
            colourRows[i] = colourRows[i] ^ (dataRows[i] & patternBits<N>(patterns.row[0][i]));
            colourCols[i] = colourCols[i] ^ (dataCols[i] & patternBits<N>(patterns.col[0][i]));
        }
    }

    // Puts the symbol with mask `mask` into rows and cols.
    void apply(int width, int level, int mask) {
        const MaskPatterns &patterns = maskPatterns();
        for (int i = 0; i < width; ++i) {
            rows[i] = colourRows[i] ^ (dataRows[i] & patternBits<N>(patterns.row[mask][i]));
            cols[i] = colourCols[i] ^ (dataCols[i] & patternBits<N>(patterns.col[mask][i]));
        }
        const unsigned word = kFormatWords.word[level][mask];
        for (int bit = 0; bit < kFormatBits; ++bit) {
            Place places[2];
            formatPlaces(width, bit, places);
            const bool on = (word >> bit) & 1u;
            for (const Place &p : places) {
                setBit(rows[p.y], p.x, on);
                setBit(cols[p.x], p.y, on);
            }
        }
    }
};

template <int N> void penaltiesOf(const unsigned char *modules, int width, int level, int *penalties) {
    Planes<N> planes(width);
    planes.read(modules, width);
    planes.unmask(width);
    for (int mask = 0; mask < kMaskCount; ++mask) {
        planes.apply(width, level, mask);
        penalties[mask] = penaltyOf(planes.rows, planes.cols, width);
    }
}

template <int N> int finishedPenalty(const unsigned char *modules, int width) {
    Planes<N> planes(width);
    planes.read(modules, width);
    return penaltyOf(planes.colourRows, planes.colourCols, width);
}

} // namespace

unsigned formatWord(int level, int mask) {
    return levelValid(level) && mask >= 0 && mask < kMaskCount ? kFormatWords.word[level][mask] : 0;
}

int symbolPenalty(const unsigned char *modules, int width) {
    if (!modules || width < 1 || width > kMaxWidth)
        return -1;
    switch ((width + 63) / 64) {
    case 1: return finishedPenalty<1>(modules, width);
    case 2: return finishedPenalty<2>(modules, width);
    default: return finishedPenalty<3>(modules, width);
    }
}

bool maskPenalties(const unsigned char *modules, int width, int level, int penalties[kMaskCount]) {
    if (!modules || !isSymbolWidth(width) || !levelValid(level) || !carriesMaskZero(modules, width, level))
        return false;
    switch ((width + 63) / 64) {
    case 1: penaltiesOf<1>(modules, width, level, penalties); break;
    case 2: penaltiesOf<2>(modules, width, level, penalties); break;
    default: penaltiesOf<3>(modules, width, level, penalties); break;
    }
    return true;
}

bool remask(unsigned char *modules, int width, int level, int mask) {
    if (!modules || !isSymbolWidth(width) || !levelValid(level) || mask < 0 || mask >= kMaskCount ||
        !carriesMaskZero(modules, width, level))
        return false;
    if (mask == 0)
        return true;
    // Eight modules at a time: the bits that change between mask 0 and `mask`, spread one
    // to a byte, on the modules without the non-data flag.
    static_assert(std::endian::native == std::endian::little, "eight modules are read as one word");
    constexpr Word kLowBits = 0x0101010101010101u;
    const MaskPatterns &patterns = maskPatterns();
    for (int y = 0; y < width; ++y) {
        unsigned char *line = modules + static_cast<std::size_t>(y) * width;
        const Word(&from)[kMaxWords] = patterns.row[0][y];
        const Word(&to)[kMaxWords] = patterns.row[mask][y];
        for (int x = 0; x < width; x += 8) {
            const int count = width - x < 8 ? width - x : 8;
            const unsigned flipBits =
                static_cast<unsigned>(((from[x >> 6] ^ to[x >> 6]) >> (x & 63)) & ((1u << count) - 1));
            Word flips = kSpread.bytes[flipBits];
            Word eight = 0;
            std::memcpy(&eight, line + x, static_cast<std::size_t>(count));
            flips &= ~(eight >> 7) & kLowBits;
            eight ^= flips;
            std::memcpy(line + x, &eight, static_cast<std::size_t>(count));
        }
    }
    const unsigned word = kFormatWords.word[level][mask];
    for (int bit = 0; bit < kFormatBits; ++bit) {
        Place places[2];
        formatPlaces(width, bit, places);
        for (const Place &p : places) {
            unsigned char &module = modules[p.y * width + p.x];
            module = static_cast<unsigned char>((module & ~1u) | ((word >> bit) & 1u));
        }
    }
    return true;
}

int applyBestMask(unsigned char *modules, int width, int level) {
    int penalties[kMaskCount];
    if (!maskPenalties(modules, width, level, penalties))
        return -1;
    int best = 0;
    for (int mask = 1; mask < kMaskCount; ++mask)
        if (penalties[mask] < penalties[best])
            best = mask;
    remask(modules, width, level, best);
    return best;
}

} // namespace pt
