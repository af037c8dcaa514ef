// Checks on the ES context the gles3 show runs on: its errors and debug messages, and a
// fixed-function call planted on purpose to show that they catch one.
#pragma once

#include <string>
#include <vector>

namespace gfx_test {

// Installs a KHR_debug callback on the current ES context when it offers one (true then);
// every error or message of error type it reports is kept.
bool watchDebugMessages();
// The errors glGetError holds, and the debug messages kept, since the last call.
std::vector<std::string> takeEsProblems();
// glBegin/glEnd through the GL library: a GL 1.1 call, as drawing code that skipped the seam
// would make.
void plantFixedFunctionCall();

}  // namespace gfx_test
