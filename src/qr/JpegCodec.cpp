// libjpeg (libjpeg-turbo) called directly. libjpeg reports fatal errors through a callback
// that must not return; it jumps back to the setjmp point of the call in progress. The
// functions that set that point hold no C++ objects with destructors of their own.
#include "qr/JpegCodec.h"

#include "qr/PictureLimits.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace kodrix::jpeg {
namespace {

constexpr int kQuality = 90;
constexpr int kRowsPerCall = 16;

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_BGRX;
constexpr J_COLOR_SPACE kRgb32OpaqueSpace = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_XRGB;
constexpr J_COLOR_SPACE kRgb32OpaqueSpace = JCS_EXT_ARGB;
#endif

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code = 0;
    bool truncated = false;
};

void onFatalError(j_common_ptr info) {
    auto *error = reinterpret_cast<ErrorManager *>(info->err);
    error->code = info->err->msg_code;
    std::longjmp(error->jump, 1);
}

// Warnings are not printed; the one that says the data ended early is remembered.
void onMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return;
    auto *error = reinterpret_cast<ErrorManager *>(info->err);
    if (info->err->msg_code == JWRN_JPEG_EOF)
        error->truncated = true;
    ++info->err->num_warnings;
}

void silentOutput(j_common_ptr) {}

void installErrorManager(ErrorManager &error) {
    jpeg_std_error(&error.base);
    error.base.error_exit = onFatalError;
    error.base.emit_message = onMessage;
    error.base.output_message = silentOutput;
}

DecodeError errorOfCode(int code) {
    switch (code) {
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return DecodeError::TooLarge;
    case JERR_OUT_OF_MEMORY:
        return DecodeError::NoMemory;
    default:
        return DecodeError::Broken;
    }
}

// CMYK as Adobe writes it (inverted) and as others write it.
void cmykToRgb32(const JSAMPLE *cmyk, QRgb *out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

DecodeError decodeRows(jpeg_decompress_struct &info, ErrorManager &error, const QByteArray &bytes, QImage &picture) {
    if (setjmp(error.jump))
        return errorOfCode(error.code);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!pictureSizeAllowed(info.image_width, info.image_height))
        return DecodeError::TooLarge;

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : kRgb32OpaqueSpace;
    jpeg_start_decompress(&info);
    picture = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
    if (picture.isNull())
        return DecodeError::NoMemory;

    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                            info.output_width * 4, 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (cmyk) {
            jpeg_read_scanlines(&info, cmykRow, 1);
            cmykToRgb32(cmykRow[0], reinterpret_cast<QRgb *>(picture.scanLine(y)), picture.width(),
                        info.saw_Adobe_marker);
        } else {
            JSAMPROW row = picture.scanLine(y);
            jpeg_read_scanlines(&info, &row, 1);
        }
        if (error.truncated)
            return DecodeError::Truncated;
    }
    jpeg_finish_decompress(&info);
    return error.truncated ? DecodeError::Truncated : DecodeError::None;
}

// The encoder writes into a buffer of its own; the caller frees both `buffer` and,
// when libjpeg had to grow it, the buffer libjpeg put in its place.
bool compressRows(jpeg_compress_struct &info, ErrorManager &error, const QImage &picture, J_COLOR_SPACE space,
                  int components, unsigned char **buffer, unsigned long *size) {
    if (setjmp(error.jump))
        return false;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE); // baseline tables
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1; // 4:4:4
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    JSAMPROW rows[kRowsPerCall];
    while (info.next_scanline < info.image_height) {
        const int first = static_cast<int>(info.next_scanline);
        const int count = std::min(kRowsPerCall, picture.height() - first);
        for (int i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(picture.constScanLine(first + i));
        jpeg_write_scanlines(&info, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

Decoded decode(const QByteArray &bytes) {
    Decoded result;
    if (bytes.isEmpty()) {
        result.error = DecodeError::Broken;
        return result;
    }
    jpeg_decompress_struct info{};
    ErrorManager error;
    installErrorManager(error);
    info.err = &error.base;
    result.error = decodeRows(info, error, bytes, result.picture);
    jpeg_destroy_decompress(&info);
    if (result.error != DecodeError::None)
        result.picture = QImage();
    return result;
}

QByteArray encode(const QImage &source) {
    if (source.isNull())
        return {};
    QImage converted;
    const QImage *picture = &source;
    J_COLOR_SPACE space = kRgb32Space;
    int components = 4;
    switch (source.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        break;
    case QImage::Format_RGB888:
        space = JCS_RGB;
        components = 3;
        break;
    default:
        converted = source.convertToFormat(QImage::Format_RGB32);
        picture = &converted;
        break;
    }

    // Room for a typical picture, so that libjpeg rarely has to grow the buffer.
    unsigned long capacity =
        std::max<unsigned long>(16384, static_cast<unsigned long>(picture->width()) * picture->height());
    auto *own = static_cast<unsigned char *>(std::malloc(capacity));
    if (!own)
        return {};
    unsigned char *buffer = own;
    unsigned long size = capacity;

    jpeg_compress_struct info{};
    ErrorManager error;
    installErrorManager(error);
    info.err = &error.base;
    const bool done = compressRows(info, error, *picture, space, components, &buffer, &size);
    jpeg_destroy_compress(&info);

    QByteArray bytes;
    if (done)
        bytes = QByteArray(reinterpret_cast<const char *>(buffer), static_cast<qsizetype>(size));
    if (buffer != own)
        std::free(buffer);
    std::free(own);
    return bytes;
}

} // namespace kodrix::jpeg
