// Mask choice for symbols libqrencode lays out: one byte a module, row by row, bit 0 dark,
// bit 7 set on every module that is not data (finder, timing, alignment, format, version).
//
// libqrencode tries all eight masks itself when asked to choose, but it does so slowly.
// Here the symbol is encoded once with mask 0 and the other seven are derived from it:
// the data modules are unmasked, each mask is applied in turn to bit rows and bit columns,
// its format information is written and its penalty is counted. The lowest penalty wins,
// the lowest mask number on a tie, so that the result is the symbol libqrencode would
// have chosen.
#pragma once

namespace pt {

// Error-correction levels in libqrencode's numbering (QR_ECLEVEL_L = 0 ... QR_ECLEVEL_H = 3).
constexpr int kMaskCount = 8;

// The 15-bit format information for a level and mask: BCH(15,5) code word XOR 0x5412,
// bit 0 the least significant (placed next to the finder patterns as libqrencode does).
unsigned formatWord(int level, int mask);

// Penalty of a finished symbol: runs of five or more, 2 x 2 blocks, 1:1:3:1:1 finder-like
// patterns with four light modules on one side, and the share of dark modules.
int symbolPenalty(const unsigned char *modules, int width);

// For a symbol encoded with mask 0 at `level`: the penalty each mask would give.
// Returns false (nothing written) when the symbol's format information is not mask 0
// at that level, or the width is not a symbol width.
bool maskPenalties(const unsigned char *modules, int width, int level, int penalties[kMaskCount]);

// Rewrites a symbol encoded with mask 0 at `level` with another mask, format information
// included. Returns false (symbol untouched) on the same conditions as maskPenalties.
bool remask(unsigned char *modules, int width, int level, int mask);

// Rewrites a symbol encoded with mask 0 at `level` with the mask of lowest penalty.
// Returns that mask, or -1 (symbol untouched) on the same conditions as maskPenalties.
int applyBestMask(unsigned char *modules, int width, int level);

} // namespace pt
