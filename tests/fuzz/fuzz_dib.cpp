// libFuzzer target: the DIB decoder on arbitrary bytes.
#include <cstdint>

#include "pictures/dib_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A smaller ceiling than the loader's keeps each run quick; the checks are the same.
    constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 20;
    DibImage* image = nullptr;
    if (decodeDib(data, size, &image, kMaxPixelBytes) == DibStatus::kOk) freeDibImage(image);
    return 0;
}
