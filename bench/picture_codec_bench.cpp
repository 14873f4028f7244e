// The per-picture costs of the encoder modules and the picture codecs at 300 × 300.
// Target here: encodeJpeg within 1.1 times a bare libjpeg call with the same settings
// (quality 90, baseline, 4:4:4), since the generation run spends most of its time in it.
#include "common/ProgramFolder.h"
#include "qr/EncoderBinding.h"
#include "qr/PictureFiles.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

using namespace kodrix;

namespace {

// libjpeg with nothing of ours around it.
std::size_t bareJpeg(const QImage &picture) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return size;
}

template <typename Work> double perSecond(int count, Work work) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        work(i);
    return count * 1000.0 / std::max<qint64>(1, timer.elapsed());
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 3000;
    const ProgramFolder folder = ProgramFolder::ofExecutable();
    const QString programFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : folder.path() + "../Kodrix/";

    Result<EncoderModules> modules = EncoderModules::load(ProgramFolder(programFolder));
    if (!modules) {
        std::fprintf(stderr, "%s\n", qPrintable(modules.error()));
        return 1;
    }
    QTemporaryDir scratch;
    const QString bitmap = scratch.filePath(QStringLiteral("QRCode.bmp"));
    const QByteArray payload = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:张三\r\nTEL:13800138000\r\nEND:VCARD").toUtf8();

    QImage picture;
    const double encoded = perSecond(count, [&](int) {
        modules->encodeToFile(payload, 0, 1, 0, bitmap);
        picture = *stretchPicture(*loadpic(bitmap), 300, 300);
    });
    std::size_t sink = 0;
    const double encodeOnly = perSecond(count, [&](int) { modules->encodeToFile(payload, 0, 1, 0, bitmap); });
    const double inMemory = perSecond(count, [&](int) { sink += modules->encodeToPicture(payload, 0, 1, 0)->width(); });
    QImage small = *loadpic(bitmap);
    const double readOnly = perSecond(count, [&](int) { sink += loadpic(bitmap)->width(); });
    const double stretchOnly = perSecond(count, [&](int) { sink += stretchPicture(small, 300, 300)->width(); });
    const double ours = perSecond(count, [&](int) { sink += encodeJpeg(picture).size(); });
    const double bare = perSecond(count, [&](int) { sink += bareJpeg(picture); });
    const double bitmaps = perSecond(count, [&](int) { sink += encodeBitmap(picture).size(); });

    std::printf("encode + read + rescale to 300x300: %8.0f codes/s\n", encoded);
    std::printf("  of which encodeToFile:            %8.0f /s\n", encodeOnly);
    std::printf("  of which loadpic:                 %8.0f /s\n", readOnly);
    std::printf("  of which stretchPicture:          %8.0f /s\n", stretchOnly);
    std::printf("encodeToPicture (bitmap in memory): %8.0f codes/s\n", inMemory);
    std::printf("encodeJpeg 300x300:                 %8.0f pictures/s\n", ours);
    std::printf("bare libjpeg 300x300:               %8.0f pictures/s\n", bare);
    std::printf("encodeBitmap 300x300:               %8.0f pictures/s\n", bitmaps);
    std::printf("encodeJpeg / bare libjpeg time:     %8.2f (target <= 1.10)\n", bare / ours);
    return sink == 0;
}
