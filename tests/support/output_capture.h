// Catches what the process writes to one of its file descriptors (stdout, stderr) while it
// lives, through a temporary file in its place.
#pragma once

#include <string>

namespace testing_support {

class OutputCapture {
public:
    explicit OutputCapture(int descriptor);
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Everything written so far; the capture goes on.
    std::string text();

private:
    int descriptor_;
    int saved_;
    int file_;
};

}  // namespace testing_support
