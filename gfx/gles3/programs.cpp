// Compiling, linking and feeding the renderer's programs.
#include "gfx/gles3/programs.h"

#include <cstring>

#include "base/report.h"
#include "gfx/gles3/line_ends.h"
#include "gfx/gles3/shaders.h"

namespace gfx::gles3 {

std::uint32_t ProgramKey::bits() const {
    std::uint32_t b = static_cast<std::uint32_t>(kind);
    std::uint32_t shift = 2;
    const auto put = [&](std::uint32_t value, std::uint32_t width) {
        b |= value << shift;
        shift += width;
    };
    put(lights, 4);
    put(lighting, 1);
    put(localViewer, 1);
    put(twoSide, 1);
    put(colorMaterial, 1);
    put(normalize, 1);
    put(static_cast<std::uint32_t>(genS), 2);
    put(static_cast<std::uint32_t>(genT), 2);
    put(texture, 1);
    put(environment == kReplace ? 1u : environment == kDecal ? 2u : 0u, 2);
    put(static_cast<std::uint32_t>(format), 2);
    put(flat, 1);
    put(flatTexCoord, 1);
    put(smoothLines, 1);
    put(fetchEnds, 1);
    put(constantColour, 1);
    return b;
}

bool Uniform::changed(const float* v, std::size_t n) {
    if (sent_ && std::memcmp(cached_.data(), v, n * sizeof(float)) == 0) return false;
    std::memcpy(cached_.data(), v, n * sizeof(float));
    sent_ = true;
    return true;
}

void Uniform::set1f(float v) {
    if (present() && changed(&v, 1)) glUniform1f(location_, v);
}

void Uniform::set2f(float x, float y) {
    const float v[2] = {x, y};
    if (present() && changed(v, 2)) glUniform2f(location_, x, y);
}

void Uniform::set4f(const float* v) {
    if (present() && changed(v, 4)) glUniform4fv(location_, 1, v);
}

void Uniform::set4fv(const float* v, int count) {
    if (present() && changed(v, static_cast<std::size_t>(count) * 4)) glUniform4fv(location_, count, v);
}

void Uniform::set2i(int x, int y) {
    const float v[2] = {static_cast<float>(x), static_cast<float>(y)};
    if (present() && changed(v, 2)) glUniform2i(location_, x, y);
}

void Uniform::setMatrix3(const float* m) {
    if (present() && changed(m, 9)) glUniformMatrix3fv(location_, 1, GL_FALSE, m);
}

void Uniform::setMatrix4(const float* m) {
    if (present() && changed(m, 16)) glUniformMatrix4fv(location_, 1, GL_FALSE, m);
}

namespace {

GLuint compile(GLenum stage, const std::string& source, std::string& error) {
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string(stage == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
    glDeleteShader(shader);
    return 0;
}

Uniform uniform(GLuint program, const char* name, int floats) {
    return Uniform(glGetUniformLocation(program, name), floats);
}

}  // namespace

namespace {
bool capturing = false;
}

void Programs::captureVertexOutputs(bool capture) { capturing = capture; }

std::unique_ptr<Program> Programs::build(const ProgramKey& key, std::string& error) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource(key), error);
    if (vertex == 0) return nullptr;
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource(key), error);
    if (fragment == 0) {
        glDeleteShader(vertex);
        return nullptr;
    }
    auto program = std::make_unique<Program>();
    program->id = glCreateProgram();
    glAttachShader(program->id, vertex);
    glAttachShader(program->id, fragment);
    if (capturing && key.kind == ProgramKind::kPrimitives) {
        const char* const outputs[] = {"gl_Position", "vFront", "vTexCoord"};
        glTransformFeedbackVaryings(program->id, 3, outputs, GL_INTERLEAVED_ATTRIBS);
    }
    glLinkProgram(program->id);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program->id, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program->id, sizeof log, nullptr, log);
        error = std::string("program: ") + log;
        glDeleteProgram(program->id);
        return nullptr;
    }
    const GLuint id = program->id;
    const int lights = key.lighting ? key.lights : 0;
    Program& p = *program;
    p.mvp = uniform(id, "uMvp", 16);
    p.modelview = uniform(id, "uModelview", 16);
    p.normalMatrix = uniform(id, "uNormalMatrix", 9);
    p.lightAmbient = uniform(id, "uLightAmbient", 4 * lights);
    p.lightDiffuse = uniform(id, "uLightDiffuse", 4 * lights);
    p.lightSpecular = uniform(id, "uLightSpecular", 4 * lights);
    p.lightPosition = uniform(id, "uLightPosition", 4 * lights);
    p.lightSpot = uniform(id, "uLightSpot", 4 * lights);
    p.lightAttenuation = uniform(id, "uLightAttenuation", 4 * lights);
    p.materialAmbient = uniform(id, "uMaterialAmbient", 4);
    p.materialDiffuse = uniform(id, "uMaterialDiffuse", 4);
    p.materialSpecular = uniform(id, "uMaterialSpecular", 4);
    p.materialEmission = uniform(id, "uMaterialEmission", 4);
    p.shininess = uniform(id, "uShininess", 1);
    p.lightModelAmbient = uniform(id, "uLightModelAmbient", 4);
    p.viewport = uniform(id, "uViewport", 4);
    p.halfWidth = uniform(id, "uHalfWidth", 1);
    p.end = uniform(id, "uEnd", 2);
    p.colour = uniform(id, "uColour", 4);
    p.texCoord = uniform(id, "uTexCoord", 2);
    p.rectangle = uniform(id, "uRectangle", 4);
    p.framebuffer = uniform(id, "uFramebuffer", 2);
    p.depth = uniform(id, "uDepth", 1);
    p.rasterColour = uniform(id, "uRasterColour", 4);
    p.rasterTexCoord = uniform(id, "uRasterTexCoord", 2);
    p.atlasOrigin = uniform(id, "uAtlasOrigin", 2);
    // Samplers never change: the texture on unit 0, the glyph atlas on unit 1.
    glUseProgram(id);
    const GLint texture = glGetUniformLocation(id, "uTexture");
    if (texture >= 0) glUniform1i(texture, 0);
    const GLint atlas = glGetUniformLocation(id, "uAtlas");
    if (atlas >= 0) glUniform1i(atlas, 1);
    const GLint ends = glGetUniformLocation(id, "uEnds");
    if (ends >= 0) glUniform1i(ends, kEndTextureUnit);
    return program;
}

Program* Programs::get(const ProgramKey& key) {
    const std::uint32_t bits = key.bits();
    const auto found = programs_.find(bits);
    if (found != programs_.end()) return found->second.get();
    if (failed_.count(bits) != 0) return nullptr;
    std::string error;
    std::unique_ptr<Program> program = build(key, error);
    if (program == nullptr) {
        failed_[bits] = true;
        base::reportf(base::Level::kError, "gles3: cannot build a shader program: %s", error.c_str());
        return nullptr;
    }
    Program* p = program.get();
    programs_[bits] = std::move(program);
    return p;
}

bool Programs::check(const ProgramKey& key, std::string& error) {
    const std::uint32_t bits = key.bits();
    if (programs_.count(bits) != 0) return true;
    std::unique_ptr<Program> program = build(key, error);
    if (program == nullptr) return false;
    programs_[bits] = std::move(program);
    return true;
}

Programs::~Programs() {
    for (auto& entry : programs_) glDeleteProgram(entry.second->id);
}

}  // namespace gfx::gles3
