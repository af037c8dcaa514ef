#include "tools/capture/program/dispatch.h"

#include <filesystem>
#include <system_error>

#include "tools/capture/parts/parallel_capture.h"
#include "tools/capture/parts/segment_capture.h"
#include "tools/capture/parts/segment_join.h"
#include "tools/capture/parts/sharing.h"
#include "tools/capture/render/capture.h"

CaptureResult runAskedCapture(const CaptureOptions& options) {
    if (!options.joinParts.empty()) return runJoin(options);
    if (options.segment) return runSegmentCapture(options);
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return runCapture(options);  // no way to start workers: one process does it all
    Sharing sharing;
    CaptureResult failure;
    if (!planSharing(options, sharing, failure)) return failure;
    if (sharing.jobs <= 1) return runCapture(options);
    return runParallelCapture(options, sharing, program);
}
