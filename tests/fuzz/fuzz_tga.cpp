// libFuzzer target: the TGA decoder on arbitrary bytes, read from memory as from a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/report.h"
#include "pictures/texture_tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool silenced = [] {
        base::setReportSink([](const base::Report&) {});
        return true;
    }();
    (void)silenced;
    // fmemopen only reads the buffer in "rb" mode.
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    TextureImage image{};
    if (readTgaFromFile(image, "fuzz.tga", file)) std::free(image.pixels);
    return 0;
}
