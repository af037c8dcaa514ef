#include "tests/gfx/es_checks.h"

#include <GLES3/gl32.h>

#include <cstring>

namespace gfx_test {

namespace {

std::vector<std::string> messages;

void GL_APIENTRY onMessage(GLenum /*source*/, GLenum type, GLuint /*id*/, GLenum severity, GLsizei length,
                           const GLchar* message, const void* /*user*/) {
    if (type == GL_DEBUG_TYPE_ERROR || severity == GL_DEBUG_SEVERITY_HIGH)
        messages.emplace_back(message, length > 0 ? static_cast<std::size_t>(length) : std::strlen(message));
}

}  // namespace

bool watchDebugMessages() {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    bool debug = false;
    for (GLint i = 0; i < count; ++i) {
        const auto* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (name != nullptr && std::strcmp(name, "GL_KHR_debug") == 0) debug = true;
    }
    if (!debug) return false;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onMessage, nullptr);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return glGetError() == GL_NO_ERROR;
}

std::vector<std::string> takeEsProblems() {
    std::vector<std::string> problems;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        problems.push_back("glGetError " + std::to_string(e));
    problems.insert(problems.end(), messages.begin(), messages.end());
    messages.clear();
    return problems;
}

}  // namespace gfx_test
