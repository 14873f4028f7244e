#pragma once

#include "common/ProgramFolder.h"
#include "common/Result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

namespace kodrix {

// The two encoder modules of the program folder ("PtQREncode.dll", "PtImageRW.dll"),
// loaded by path with their entry points resolved. Keep one for the length of a run.
// encodeToFile is safe to call from several threads at once.
class EncoderModules {
public:
    ~EncoderModules();
    EncoderModules(EncoderModules &&) noexcept;
    EncoderModules &operator=(EncoderModules &&) noexcept;

    // Fails with a clear reason when a module or an entry point is missing.
    static Result<EncoderModules> load(const ProgramFolder &folder);

    // Encodes exactly `bytes` and writes the symbol as a Windows bitmap at `path` (dark
    // modules black, light modules and the quiet zone pure white). No file on failure.
    Status encodeToFile(const QByteArray &bytes, std::uint16_t option1, std::uint16_t option2,
                        std::uint16_t option3, const QString &path) const;

    // The same steps, with the module writing its bitmap into memory instead of a file;
    // returns the picture that file would hold (Format_RGB32). Safe from several threads.
    Result<QImage> encodeToPicture(const QByteArray &bytes, std::uint16_t option1, std::uint16_t option2,
                                   std::uint16_t option3) const;

private:
    struct Handles;
    explicit EncoderModules(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
};

// One code, the modules loaded and unloaded around it.
Status EncodeQRToFile(const QByteArray &bytes, std::uint16_t option1, std::uint16_t option2,
                      std::uint16_t option3, const QString &path, const ProgramFolder &folder);

} // namespace kodrix
