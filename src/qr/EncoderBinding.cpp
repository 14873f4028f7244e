#include "qr/EncoderBinding.h"

#include "qr/BitmapCodec.h"

#include "PtModules.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace kodrix {
namespace {

const QString kEncoderFile = QStringLiteral("PtQREncode.dll");
const QString kImageFile = QStringLiteral("PtImageRW.dll");

// A module loaded by path, unloaded when the handle goes.
class ModuleHandle {
public:
    ModuleHandle() = default;
    explicit ModuleHandle(void *handle) : handle_(handle) {}
    ModuleHandle(ModuleHandle &&other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ModuleHandle &operator=(ModuleHandle &&other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~ModuleHandle() {
        if (handle_)
            dlclose(handle_);
    }
    void *get() const { return handle_; }

private:
    void *handle_ = nullptr;
};

Result<ModuleHandle> openModule(const ProgramFolder &folder, const QString &fileName) {
    const QString path = folder.file(fileName);
    if (!QFileInfo(path).isFile())
        return Result<ModuleHandle>::failure(
            QStringLiteral("%1文件丢失，无法生成二维码，重新安装软件可以解决此问题。（%2）").arg(fileName, path));
    dlerror();
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *reason = dlerror();
        return Result<ModuleHandle>::failure(QStringLiteral("%1无法加载，重新安装软件可以解决此问题。（%2）")
                                                 .arg(fileName, QString::fromLocal8Bit(reason ? reason : "")));
    }
    return ModuleHandle(handle);
}

// Looks up one entry point; `missing` collects the names of those not found.
template <typename Fn> Fn entryPoint(const ModuleHandle &module, const char *name, QStringList &missing) {
    void *address = dlsym(module.get(), name);
    if (!address)
        missing << QString::fromLatin1(name);
    return reinterpret_cast<Fn>(address);
}

QString encoderFailure(int code) {
    switch (code) {
    case PT_QR_TOO_LONG:
        return QStringLiteral("内容太长，超出了二维码的容量。");
    case PT_QR_BAD_OPTION:
        return QStringLiteral("二维码编码参数无效。");
    case PT_QR_NO_MEMORY:
        return QStringLiteral("内存不足，无法生成二维码。");
    default:
        return QStringLiteral("二维码编码失败（错误代码%1）。").arg(code);
    }
}

// Frees the image record whatever way the encoding ends.
class ImageGuard {
public:
    ImageGuard(PtFreeImageFn release, PtImageRecord *image) : release_(release), image_(image) {}
    ImageGuard(const ImageGuard &) = delete;
    ImageGuard &operator=(const ImageGuard &) = delete;
    ~ImageGuard() { release_(image_); }

private:
    PtFreeImageFn release_;
    PtImageRecord *image_;
};

// A file that lives in memory (memfd), reached by the modules through its /proc path;
// where that is not available, a temporary file of the system's temp folder.
class ScratchFile {
public:
    ScratchFile() : fd_(memfd_create("kodrix-qrcode", MFD_CLOEXEC)) {
        if (fd_ >= 0 && QFileInfo::exists(QStringLiteral("/proc/self/fd/%1").arg(fd_)))
            return;
        closeMemory();
        fallback_ = std::make_unique<QTemporaryFile>();
        if (!fallback_->open())
            fallback_.reset();
    }
    ~ScratchFile() { closeMemory(); }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    bool usable() const { return fd_ >= 0 || fallback_; }
    QString path() const {
        return fd_ >= 0 ? QStringLiteral("/proc/self/fd/%1").arg(fd_) : fallback_->fileName();
    }
    QByteArray readAll() const {
        if (fd_ < 0) {
            QFile file(fallback_->fileName());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        struct stat info {};
        if (fstat(fd_, &info) != 0 || info.st_size <= 0)
            return {};
        QByteArray bytes(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = pread(fd_, bytes.data() + done, static_cast<size_t>(bytes.size() - done), done);
            if (got <= 0)
                return {};
            done += got;
        }
        return bytes;
    }

private:
    void closeMemory() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
    int fd_;
    std::unique_ptr<QTemporaryFile> fallback_;
};

} // namespace

struct EncoderModules::Handles {
    // Declared in unloading order: the image module goes first, then the encoder.
    ModuleHandle encoder;
    ModuleHandle image;

    PtInitImageFn initImage = nullptr;
    PtShowImageFn showImage = nullptr;
    PtLoadImageFn loadImage = nullptr;
    PtSaveImageFn saveImage = nullptr;
    PtCreateImageFn createImage = nullptr;
    PtFreeImageFn freeImage = nullptr;
    PtQREncodeInitFn encodeInit = nullptr;
    PtQREncodeFn encode = nullptr;
    PtQREncodeToImageFn encodeToImage = nullptr;
};

EncoderModules::EncoderModules(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
EncoderModules::~EncoderModules() = default;
EncoderModules::EncoderModules(EncoderModules &&) noexcept = default;
EncoderModules &EncoderModules::operator=(EncoderModules &&) noexcept = default;

Result<EncoderModules> EncoderModules::load(const ProgramFolder &folder) {
    auto handles = std::make_unique<Handles>();

    Result<ModuleHandle> image = openModule(folder, kImageFile);
    if (!image)
        return Result<EncoderModules>::failure(image.error());
    handles->image = std::move(image).value();
    QStringList missing;
    handles->initImage = entryPoint<PtInitImageFn>(handles->image, "PtInitImage", missing);
    handles->showImage = entryPoint<PtShowImageFn>(handles->image, "PtShowImage", missing);
    handles->loadImage = entryPoint<PtLoadImageFn>(handles->image, "PtLoadImage", missing);
    handles->saveImage = entryPoint<PtSaveImageFn>(handles->image, "PtSaveImage", missing);
    handles->createImage = entryPoint<PtCreateImageFn>(handles->image, "PtCreateImage", missing);
    handles->freeImage = entryPoint<PtFreeImageFn>(handles->image, "PtFreeImage", missing);
    if (!missing.isEmpty())
        return Result<EncoderModules>::failure(QStringLiteral("%1缺少入口%2，重新安装软件可以解决此问题。")
                                                   .arg(kImageFile, missing.join(QStringLiteral("、"))));

    Result<ModuleHandle> encoder = openModule(folder, kEncoderFile);
    if (!encoder)
        return Result<EncoderModules>::failure(encoder.error());
    handles->encoder = std::move(encoder).value();
    handles->encodeInit = entryPoint<PtQREncodeInitFn>(handles->encoder, "PtQREncodeInit", missing);
    handles->encode = entryPoint<PtQREncodeFn>(handles->encoder, "PtQREncode", missing);
    handles->encodeToImage = entryPoint<PtQREncodeToImageFn>(handles->encoder, "PtQREncodeToImage", missing);
    if (!missing.isEmpty())
        return Result<EncoderModules>::failure(QStringLiteral("%1缺少入口%2，重新安装软件可以解决此问题。")
                                                   .arg(kEncoderFile, missing.join(QStringLiteral("、"))));

    return EncoderModules(std::move(handles));
}

Status EncoderModules::encodeToFile(const QByteArray &bytes, std::uint16_t option1, std::uint16_t option2,
                                    std::uint16_t option3, const QString &path) const {
    // The modules take zero-terminated texts: a zero byte would silently cut the content.
    const auto length = static_cast<qsizetype>(qstrnlen(bytes.constData(), bytes.size()));
    if (length != bytes.size())
        return Status::failure(QStringLiteral("内容中含有零字节，无法生成二维码。"));
    if (length > INT32_MAX)
        return Status::failure(encoderFailure(PT_QR_TOO_LONG));

    PtImageRecord image;
    handles_->initImage(&image);
    const ImageGuard guard(handles_->freeImage, &image);

    PtQREncodeParams block;
    handles_->encodeInit(&block);
    block.text = reinterpret_cast<const unsigned char *>(bytes.constData());
    block.length = static_cast<std::int32_t>(length);
    block.option1 = option1;
    block.option2 = option2;
    block.option3 = option3;
    std::memset(block.zero, 0, sizeof block.zero);

    const int encoded = handles_->encode(&block, &image);
    if (encoded != PT_QR_OK)
        return Status::failure(length == 0 ? QStringLiteral("内容为空，无法生成二维码。") : encoderFailure(encoded));
    if (handles_->saveImage(QFile::encodeName(path).constData(), &image) != 1)
        return Status::failure(QStringLiteral("%1无法写入。").arg(path));
    return {};
}

Result<QImage> EncoderModules::encodeToPicture(const QByteArray &bytes, std::uint16_t option1,
                                               std::uint16_t option2, std::uint16_t option3) const {
    const ScratchFile scratch;
    if (!scratch.usable())
        return Result<QImage>::failure(QStringLiteral("无法创建临时文件，无法生成二维码。"));
    const Status encoded = encodeToFile(bytes, option1, option2, option3, scratch.path());
    if (!encoded)
        return Result<QImage>::failure(encoded.error());
    bitmap::Decoded decoded = bitmap::decode(scratch.readAll());
    if (decoded.error != bitmap::DecodeError::None)
        return Result<QImage>::failure(QStringLiteral("PtImageRW.dll写出的二维码图片无法读取。"));
    return std::move(decoded.picture);
}

Status EncodeQRToFile(const QByteArray &bytes, std::uint16_t option1, std::uint16_t option2, std::uint16_t option3,
                      const QString &path, const ProgramFolder &folder) {
    const Result<EncoderModules> modules = EncoderModules::load(folder);
    if (!modules)
        return Status::failure(modules.error());
    return modules->encodeToFile(bytes, option1, option2, option3, path);
}

} // namespace kodrix
