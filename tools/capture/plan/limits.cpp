#include "tools/capture/plan/limits.h"

#include <algorithm>

#include "tools/capture/plan/numbers.h"

std::string sizeBeyondDrawing(int width, int height, const DrawingLimits& limits, int supersample) {
    const std::int64_t drawnWidth = std::int64_t{width} * supersample;
    const std::int64_t drawnHeight = std::int64_t{height} * supersample;
    if (drawnWidth <= limits.width && drawnHeight <= limits.height) return {};
    const int fits = std::min(limits.width / width, limits.height / height);
    if (supersample <= 1 || fits < 1)
        return "this OpenGL draws at most " + sizeText(limits.width, limits.height) + ", not " +
               sizeText(width, height);
    return "--supersample " + std::to_string(supersample) + " draws " + sizeText(drawnWidth, drawnHeight) +
           ", more than the " + sizeText(limits.width, limits.height) + " this machine can draw; take --supersample " +
           std::to_string(fits) + (fits > 1 ? " or less" : "") + ", or a smaller --size";
}
