#include "tests/support/output_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace testing_support {

OutputCapture::OutputCapture(int descriptor) : descriptor_(descriptor), saved_(dup(descriptor)), file_(-1) {
    char name[] = "/tmp/oyun-output-XXXXXX";
    file_ = mkstemp(name);
    if (file_ >= 0) {
        unlink(name);
        std::fflush(nullptr);
        dup2(file_, descriptor_);
    }
}

OutputCapture::~OutputCapture() {
    std::fflush(nullptr);
    if (saved_ >= 0) {
        dup2(saved_, descriptor_);
        close(saved_);
    }
    if (file_ >= 0) close(file_);
}

std::string OutputCapture::text() {
    std::fflush(nullptr);
    std::string all;
    if (file_ < 0) return all;
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t got = pread(file_, buffer, sizeof buffer, offset);
        if (got <= 0) break;
        all.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    return all;
}

}  // namespace testing_support
