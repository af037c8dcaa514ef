#include "tools/capture/output/open_writer.h"

#include "tools/capture/output/media_writer.h"
#include "tools/capture/output/png_writer.h"

std::unique_ptr<FrameWriter> openFrameWriter(const WriterSettings& settings, std::string& error) {
    return isVideo(settings.kind) ? openMediaWriter(settings, error) : openPngWriter(settings, error);
}
