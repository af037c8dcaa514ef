// loadDibImage: reads a bitmap file whole, decodes it and reports failures in a box captioned
// "Error". Every descriptor and block is released on every path.
#include "pictures/dib_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/message_box.h"

namespace {

void errorBox(const std::string& text) { platform::messageBox(text.c_str(), "Error", platform::MB_OK); }

// The whole file, or null; *size gets its length. Empty and non-regular files count as
// unreadable.
std::uint8_t* readWholeFile(const char* path, std::size_t* size, bool* outOfMemory) {
    *outOfMemory = false;
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        ::close(descriptor);
        return nullptr;
    }
    const std::size_t length = static_cast<std::size_t>(info.st_size);
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(length));
    if (bytes == nullptr) {
        *outOfMemory = true;
        ::close(descriptor);
        return nullptr;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(descriptor, bytes + done, length - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    if (done == 0) {
        std::free(bytes);
        return nullptr;
    }
    // A file that shrank while being read is decoded as far as it goes.
    *size = done;
    return bytes;
}

}  // namespace

DibImage* loadDibImage(const char* path) {
    const char* shownPath = path != nullptr ? path : "";
    std::size_t size = 0;
    bool outOfMemory = false;
    std::uint8_t* bytes = path != nullptr ? readWholeFile(path, &size, &outOfMemory) : nullptr;
    if (bytes == nullptr) {
        errorBox(outOfMemory ? std::string("Out of memory.")
                             : std::string("Failed to open DIB file ") + shownPath + ".\n");
        return nullptr;
    }
    DibImage* image = nullptr;
    const DibStatus status = decodeDib(bytes, size, &image);
    std::free(bytes);
    switch (status) {
        case DibStatus::kOk: return image;
        case DibStatus::kUnknownFormat: errorBox("Unknown DIB file format."); break;
        case DibStatus::kOutOfMemory: errorBox("Out of memory."); break;
        case DibStatus::kConversionError: errorBox("Image file conversion error."); break;
    }
    return nullptr;
}

void freeDibImage(DibImage* image) {
    if (image == nullptr) return;
    std::free(image->pixels);
    std::free(image);
}
