// Feeds arbitrary bytes to the WBMP and OTB readers, and what they read back
// through the writers.

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/mono_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin;
    const std::span<const std::uint8_t> bytes(data, size);
    for (MonoFileFormat format : {MonoFileFormat::Wbmp, MonoFileFormat::Otb}) {
        const MonoFileReading reading = readMonoFile(format, bytes);
        if (reading.picture) (void)encodeMonoFile(format, *reading.picture);
    }
    return 0;
}
