// The gles3 renderer's table of entry points, and starting and stopping it on a context.
#include <cstring>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/es_state.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/gles3.h"

namespace gfx::gles3 {

namespace {

using namespace calls;

const EntryPoints kEntryPoints = {
    begin,
    end,
    vertex3f,
    color3f,
    color4f,
    normal3f,
    texCoord2f,
    enable,
    disable,
    blendFunc,
    depthFunc,
    depthMask,
    shadeModel,
    hint,
    lineWidth,
    polygonMode,
    clearColor,
    clearDepth,
    clear,
    viewport,
    scissor,
    matrixMode,
    loadIdentity,
    pushMatrix,
    popMatrix,
    translatef,
    rotatef,
    scalef,
    ortho,
    calls::perspective,
    lookAt,
    getFloatv,
    getIntegerv,
    getString,
    getError,
    lightfv,
    lightModelfv,
    materialfv,
    texGeni,
    texEnvi,
    genTextures,
    bindTexture,
    texParameteri,
    texImage2D,
    deleteTextures,
    pixelStorei,
    genLists,
    newList,
    endList,
    callList,
    callLists,
    listBase,
    deleteLists,
    pushAttrib,
    popAttrib,
    pushClientAttrib,
    popClientAttrib,
    rasterPos2i,
    bitmap,
    vertexPointer,
    enableClientState,
    disableClientState,
    drawArrays,
    genBuffers,
    bindBuffer,
    bufferData,
    deleteBuffers,
    newQuadric,
    quadricNormals,
    quadricTexture,
    sphere,
    deleteQuadric,
    readBuffer,
    readPixels,
    flush,
    finish,
};

// "OpenGL ES 3.2 Mesa …": ES of version 3 or later.
bool esThreeOrLater(const char* version) {
    constexpr const char* kPrefix = "OpenGL ES ";
    if (version == nullptr || std::strncmp(version, kPrefix, std::strlen(kPrefix)) != 0) return false;
    const char major = version[std::strlen(kPrefix)];
    return major >= '3' && major <= '9';
}

}  // namespace

const EntryPoints& entryPoints() { return kEntryPoints; }

bool startContext(std::string& error) {
    stopContext();
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr) {
        error = "no OpenGL ES 3.0 context: no context is current";
        return false;
    }
    if (!esThreeOrLater(version)) {
        error = std::string("no OpenGL ES 3.0 context: the context is ") + version;
        return false;
    }
    setCurrent(std::make_unique<Context>());
    Context& c = *current();
    FixedState& s = c.state;
    // A new context's viewport and scissor box are its window's size.
    glGetIntegerv(GL_VIEWPORT, s.viewport.data());
    s.scissorBox = s.viewport;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, c.maxViewport.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    syncEsState();
    std::string problem;
    if (!c.gpu->programs.check(ProgramKey{}, problem)) {
        setCurrent(nullptr);
        error = "no OpenGL ES 3.0 context: the renderer's shaders do not build: " + problem;
        for (char& ch : error)
            if (ch == '\n') ch = ' ';
        return false;
    }
    return true;
}

void stopContext() { setCurrent(nullptr); }

}  // namespace gfx::gles3
