// Any settings file, in any encoding, parses and writes back without a crash.
#include "settings/IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    kodrix::IniFile ini =
        kodrix::IniFile::parse(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    ini.value(QStringLiteral("softset"), QStringLiteral("codecolor"));
    ini.setValue(QStringLiteral("softset"), QStringLiteral("height"), QStringLiteral("300"));
    ini.serialize();
    return 0;
}
