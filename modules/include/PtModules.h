// Public interface of the two program-folder modules "PtQREncode.dll" (the QR encoder) and
// "PtImageRW.dll" (the image record and its file writer). The program loads them by path and
// calls them through the function types below; it never links them.
//
// Use, for one code:
//   PtImageRecord image;      PtInitImage(&image);
//   PtQREncodeParams block;   PtQREncodeInit(&block);   then set text, length and options
//   if (PtQREncode(&block, &image) == PT_QR_OK) PtSaveImage("QRCode.bmp", &image);
//   PtFreeImage(&image);      (in every case)
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The encoder's parameter block. On a 32-bit build it is the 28-byte record
// (text 0, length 4, option1 8, quietZone 10, option2 12, option3 14, reserved 16,
// zero 20..26); on a 64-bit build the text address is pointer-sized and the rest follows.
//
//   text, length  the bytes to encode, as they are (8-bit mode; nothing is converted).
//   option1       smallest symbol version to use, 1-40; 0 picks the smallest that fits.
//                 A text that does not fit the version grows the symbol, as long as
//                 version 40 holds it.
//   quietZone     light margin around the symbol, in modules (default 4, at most 64).
//   option2       error-correction level: 0 = M (15 %), 1 = Q (25 %), 2 = H (30 %).
//                 The default, 1, keeps a code readable with a logo over its middle
//                 fifth; M is not enough for that on small symbols. L is not offered.
//   option3       pixels per module, 1-32; 0 means 1 (the default).
//   reserved      must stay as PtQREncodeInit left it (0).
//   zero          must be 0.
typedef struct PtQREncodeParams {
    const unsigned char *text;
    int32_t length;
    uint16_t option1;
    uint16_t quietZone;
    uint16_t option2;
    uint16_t option3;
    uint32_t reserved;
    uint16_t zero[4];
} PtQREncodeParams;

#ifdef __cplusplus
#define PT_STATIC_ASSERT static_assert
#else
#define PT_STATIC_ASSERT _Static_assert
#endif
#if UINTPTR_MAX == 0xFFFFFFFFu
PT_STATIC_ASSERT(sizeof(PtQREncodeParams) == 28, "parameter block is 28 bytes");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, length) == 4, "length at 4");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option1) == 8, "option1 at 8");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, quietZone) == 10, "quiet zone at 10");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option2) == 12, "option2 at 12");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option3) == 14, "option3 at 14");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, reserved) == 16, "reserved at 16");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, zero) == 20, "zero words at 20");
#else
PT_STATIC_ASSERT(sizeof(PtQREncodeParams) == 32, "parameter block is 32 bytes");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, length) == 8, "length at 8");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option1) == 12, "option1 at 12");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, quietZone) == 14, "quiet zone at 14");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option2) == 16, "option2 at 16");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, option3) == 18, "option3 at 18");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, reserved) == 20, "reserved at 20");
PT_STATIC_ASSERT(offsetof(PtQREncodeParams, zero) == 24, "zero words at 24");
#endif
#undef PT_STATIC_ASSERT

// Results of PtQREncode and PtQREncodeToImage.
enum {
    PT_QR_OK = 1,          // the symbol is in the image record
    PT_QR_BAD_ARGUMENT = 0, // a null block or record, or a record PtInitImage did not prepare
    PT_QR_TOO_LONG = 2,     // the text does not fit even version 40 at the chosen level
    PT_QR_BAD_OPTION = 3,   // an option or a reserved field out of range, or no bytes
    PT_QR_NO_MEMORY = 4
};

// Storage for one image record. Its contents belong to PtImageRW.dll; the caller only
// provides the memory and passes its address.
typedef struct PtImageRecord {
    union {
        unsigned char bytes[64];
        void *alignPointer;
        uint64_t alignWide;
    } storage;
} PtImageRecord;

// PtImageRW.dll
typedef void (*PtInitImageFn)(PtImageRecord *image);
// Writes the image as an uncompressed 24-bit Windows bitmap; fileName is UTF-8.
// Returns 1 when the file was written completely, 0 otherwise (no file is left behind).
typedef int (*PtSaveImageFn)(const char *fileName, const PtImageRecord *image);
typedef void (*PtFreeImageFn)(PtImageRecord *image);
// There is no display surface on this platform: always returns 0.
typedef int (*PtShowImageFn)(const PtImageRecord *image, void *surface, int x, int y);
// Reads an uncompressed 24-bit Windows bitmap (as PtSaveImage writes) into the record.
// Returns 1 on success, 0 otherwise.
typedef int (*PtLoadImageFn)(const char *fileName, PtImageRecord *image);
// Makes a white image of the given size (1-16384 each way). Returns 1 on success.
typedef int (*PtCreateImageFn)(PtImageRecord *image, int width, int height);

// PtQREncode.dll
typedef void (*PtQREncodeInitFn)(PtQREncodeParams *block);
typedef int (*PtQREncodeFn)(const PtQREncodeParams *block, PtImageRecord *image);
// Encodes a zero-terminated text with the default options.
typedef int (*PtQREncodeToImageFn)(const char *text, PtImageRecord *image);

#ifdef __cplusplus
}
#endif
