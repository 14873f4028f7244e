// PtQREncode.dll: encodes bytes as a QR symbol (libqrencode, 8-bit mode) into an image
// record prepared by PtImageRW.dll.
#include "MaskChoice.h"
#include "PtImageData.h"

#include <qrencode.h>

#include <dlfcn.h>

#include <cerrno>
#include <cstring>
#include <memory>

#define PT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::uint16_t kDefaultQuietZone = 4;
constexpr std::uint16_t kMaxQuietZone = 64;
constexpr std::uint16_t kDefaultLevel = 1; // Q
constexpr std::uint16_t kHighestLevel = 2; // H
constexpr std::uint16_t kMaxModulePixels = 32;

struct QrCodeFree {
    void operator()(QRcode *code) const { QRcode_free(code); }
};

bool optionsValid(const PtQREncodeParams &block) {
    if (block.length <= 0 || !block.text)
        return false;
    if (block.option1 > 40 || block.option2 > kHighestLevel || block.option3 > kMaxModulePixels)
        return false;
    if (block.quietZone > kMaxQuietZone || block.reserved != 0)
        return false;
    for (std::uint16_t word : block.zero)
        if (word != 0)
            return false;
    return true;
}

int failureOf(int error) {
    switch (error) {
    case ERANGE:
        return PT_QR_TOO_LONG;
    case ENOMEM:
        return PT_QR_NO_MEMORY;
    default:
        return PT_QR_BAD_OPTION;
    }
}

// libqrencode's encoder for a given mask. It is exported but not declared in qrencode.h,
// so it is looked up at run time; a build without it leaves the mask choice to libqrencode.
using EncodeMaskFn = QRcode *(*)(QRinput *input, int mask);

EncodeMaskFn lookUpEncodeMask() {
    if (void *found = dlsym(RTLD_DEFAULT, "QRcode_encodeMask"))
        return reinterpret_cast<EncodeMaskFn>(found);
    // This module's copy of libqrencode is usually not in the global scope: ask it directly.
    Dl_info info;
    if (!dladdr(reinterpret_cast<void *>(&QRcode_encodeData), &info) || !info.dli_fname)
        return nullptr;
    void *library = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    void *found = dlsym(library, "QRcode_encodeMask");
    // This module links libqrencode, so the function stays loaded as long as the module.
    dlclose(library);
    return reinterpret_cast<EncodeMaskFn>(found);
}

EncodeMaskFn encodeMaskFn() {
    static const EncodeMaskFn fn = lookUpEncodeMask();
    return fn;
}

// The same symbol QRcode_encodeData gives: encoded once with mask 0, then given the mask
// libqrencode would have chosen (see MaskChoice.h). Null with errno set on failure.
QRcode *encodeSymbol(const PtQREncodeParams &block, QRecLevel level) {
    const EncodeMaskFn encodeMask = encodeMaskFn();
    if (!encodeMask)
        return QRcode_encodeData(block.length, block.text, block.option1, level);
    QRinput *input = QRinput_new2(block.option1, level);
    if (!input)
        return nullptr;
    QRcode *code = nullptr;
    if (QRinput_append(input, QR_MODE_8, block.length, block.text) == 0)
        code = encodeMask(input, 0);
    const int error = errno;
    QRinput_free(input);
    errno = error;
    if (!code)
        return nullptr;
    if (pt::applyBestMask(code->data, code->width, level) < 0) {
        // Not the layout the mask choice expects: let libqrencode choose.
        QRcode_free(code);
        return QRcode_encodeData(block.length, block.text, block.option1, level);
    }
    return code;
}

// Draws the symbol with its quiet zone, `scale` pixels per module.
int render(const QRcode &code, int quietZone, int scale, pt::ImageData *image) {
    const int modules = code.width + 2 * quietZone;
    const long side = static_cast<long>(modules) * scale;
    if (side > pt::kMaxImageSide)
        return PT_QR_BAD_OPTION;
    const int pixels = static_cast<int>(side);
    if (!pt::allocatePixels(image, pixels, pixels, 255))
        return PT_QR_NO_MEMORY;
    for (int my = 0; my < code.width; ++my) {
        std::uint8_t *firstRow =
            image->pixels + static_cast<std::size_t>((quietZone + my) * scale) * pixels;
        const unsigned char *modulesRow = code.data + static_cast<std::size_t>(my) * code.width;
        for (int mx = 0; mx < code.width; ++mx)
            if (modulesRow[mx] & 1)
                std::memset(firstRow + (quietZone + mx) * scale, 0, scale);
        for (int repeat = 1; repeat < scale; ++repeat)
            std::memcpy(firstRow + static_cast<std::size_t>(repeat) * pixels, firstRow, pixels);
    }
    return PT_QR_OK;
}

} // namespace

PT_EXPORT void PtQREncodeInit(PtQREncodeParams *block) {
    if (!block)
        return;
    std::memset(block, 0, sizeof *block);
    block->quietZone = kDefaultQuietZone;
    block->option2 = kDefaultLevel;
}

PT_EXPORT int PtQREncode(const PtQREncodeParams *block, PtImageRecord *record) {
    pt::ImageData *image = pt::imageOf(record);
    if (!block || !pt::isPrepared(image))
        return PT_QR_BAD_ARGUMENT;
    if (!optionsValid(*block))
        return PT_QR_BAD_OPTION;

    errno = 0;
    std::unique_ptr<QRcode, QrCodeFree> code(
        encodeSymbol(*block, static_cast<QRecLevel>(QR_ECLEVEL_M + block->option2)));
    if (!code)
        return failureOf(errno);
    const int scale = block->option3 == 0 ? 1 : block->option3;
    return render(*code, block->quietZone, scale, image);
}

PT_EXPORT int PtQREncodeToImage(const char *text, PtImageRecord *record) {
    if (!text)
        return PT_QR_BAD_ARGUMENT;
    PtQREncodeParams block;
    PtQREncodeInit(&block);
    block.text = reinterpret_cast<const unsigned char *>(text);
    block.length = static_cast<std::int32_t>(std::strlen(text));
    return PtQREncode(&block, record);
}
