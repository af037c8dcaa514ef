// The renderer's shader programs, compiled when a draw first needs them, and their uniforms,
// each sent to the GPU only when its value changes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/gles3/gl.h"
#include "gfx/gles3/program_key.h"

namespace gfx::gles3 {

// One uniform with the value it holds in its program.
class Uniform {
public:
    Uniform() = default;
    Uniform(GLint location, int floats) : location_(location), cached_(static_cast<std::size_t>(floats)) {}
    bool present() const { return location_ >= 0; }
    void set1f(float v);
    void set2f(float x, float y);
    void set4f(const float* v);
    void set4fv(const float* v, int count);  // an array of vec4
    void set2i(int x, int y);
    void setMatrix3(const float* m);
    void setMatrix4(const float* m);

private:
    bool changed(const float* v, std::size_t n);
    GLint location_ = -1;
    std::vector<float> cached_;
    bool sent_ = false;
};

struct Program {
    GLuint id = 0;
    Uniform mvp, modelview, normalMatrix;
    Uniform lightAmbient, lightDiffuse, lightSpecular, lightPosition, lightSpot, lightAttenuation;
    Uniform materialAmbient, materialDiffuse, materialSpecular, materialEmission, shininess, lightModelAmbient;
    Uniform viewport, halfWidth, end, colour, texCoord;
    Uniform rectangle, framebuffer, depth, rasterColour, rasterTexCoord, atlasOrigin;
};

class Programs {
public:
    ~Programs();
    // For tests: programs built from now on also write each vertex's clip position, front
    // colour and texture coordinate to transform feedback (interleaved, 10 floats).
    static void captureVertexOutputs(bool capture);
    // The program for `key`, compiled on first use; null with the compiler's log reported
    // once when it does not compile.
    Program* get(const ProgramKey& key);
    // Compiles a program to check that the context can run the renderer's shaders.
    bool check(const ProgramKey& key, std::string& error);

private:
    std::unique_ptr<Program> build(const ProgramKey& key, std::string& error);
    std::unordered_map<std::uint32_t, std::unique_ptr<Program>> programs_;
    std::unordered_map<std::uint32_t, bool> failed_;
};

}  // namespace gfx::gles3
