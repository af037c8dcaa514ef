// The drawing calls of the show, the engine, the models and the viewer: the fixed-function
// OpenGL 1.1 and GLU subset they use, reached through the renderer chosen at start-up.
//
// Every function here has the meaning of the OpenGL 1.1 (or GLU 1.3) call of the same name,
// with the same argument types and the same numeric enumerants, so `gl11` hands each call to
// the driver unchanged and `gles3` reproduces it on OpenGL ES 3.0 with shaders and buffers.
// Only the subset below exists; an enumerant `gles3` does not implement is reported once and
// ignored. Nothing outside gfx/ includes a GL header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

using Enum = unsigned int;
using Bitfield = unsigned int;
using Boolean = unsigned char;

struct QuadricRecord;
using Quadric = QuadricRecord*;

// Enumerants, with OpenGL's values.
// clang-format off
constexpr Boolean kFalse = 0, kTrue = 1;
constexpr Enum kNoError = 0;
// primitives
constexpr Enum kPoints = 0x0000, kLines = 0x0001, kLineLoop = 0x0002, kLineStrip = 0x0003, kTriangles = 0x0004,
               kTriangleStrip = 0x0005, kTriangleFan = 0x0006, kQuads = 0x0007, kQuadStrip = 0x0008,
               kPolygon = 0x0009;
// capabilities of enable / disable
constexpr Enum kTexture2D = 0x0DE1, kDepthTest = 0x0B71, kBlend = 0x0BE2, kLighting = 0x0B50, kLight0 = 0x4000,
               kTextureGenS = 0x0C60, kTextureGenT = 0x0C61, kScissorTest = 0x0C11, kLineSmooth = 0x0B20,
               kCullFace = 0x0B44, kColorMaterial = 0x0B57, kNormalize = 0x0BA1;
// blending and depth
constexpr Enum kZero = 0, kOne = 1, kSrcColor = 0x0300, kOneMinusSrcColor = 0x0301, kSrcAlpha = 0x0302,
               kOneMinusSrcAlpha = 0x0303, kDstAlpha = 0x0304, kOneMinusDstAlpha = 0x0305, kDstColor = 0x0306,
               kOneMinusDstColor = 0x0307;
constexpr Enum kNever = 0x0200, kLess = 0x0201, kEqual = 0x0202, kLequal = 0x0203, kGreater = 0x0204,
               kNotequal = 0x0205, kGequal = 0x0206, kAlways = 0x0207;
// shading, hints, polygon mode
constexpr Enum kFlat = 0x1D00, kSmooth = 0x1D01;
constexpr Enum kPerspectiveCorrectionHint = 0x0C50, kLineSmoothHint = 0x0C52, kDontCare = 0x1100,
               kFastest = 0x1101, kNicest = 0x1102;
constexpr Enum kFront = 0x0404, kBack = 0x0405, kFrontAndBack = 0x0408, kPoint = 0x1B00, kLine = 0x1B01,
               kFill = 0x1B02;
// clearing
constexpr Bitfield kDepthBufferBit = 0x00000100, kColorBufferBit = 0x00004000;
// matrices and queries
constexpr Enum kModelview = 0x1700, kProjection = 0x1701;
constexpr Enum kCurrentColor = 0x0B00, kCurrentRasterPosition = 0x0B07, kViewport = 0x0BA2,
               kModelviewMatrix = 0x0BA6, kProjectionMatrix = 0x0BA7, kScissorBox = 0x0C10,
               kColorClearValue = 0x0C22, kMaxViewportDims = 0x0D3A, kMaxTextureSize = 0x0D33,
               kMaxRenderbufferSize = 0x84E8, kListBase = 0x0B32, kLineWidth = 0x0B21;
constexpr Enum kVendor = 0x1F00, kRenderer = 0x1F01, kVersion = 0x1F02;
// lighting
constexpr Enum kAmbient = 0x1200, kDiffuse = 0x1201, kSpecular = 0x1202, kPosition = 0x1203,
               kSpotDirection = 0x1204, kSpotExponent = 0x1205, kSpotCutoff = 0x1206,
               kConstantAttenuation = 0x1207, kLinearAttenuation = 0x1208, kQuadraticAttenuation = 0x1209,
               kEmission = 0x1600, kShininess = 0x1601, kAmbientAndDiffuse = 0x1602,
               kLightModelLocalViewer = 0x0B51, kLightModelTwoSide = 0x0B52, kLightModelAmbient = 0x0B53;
// texture coordinate generation and environment
constexpr Enum kS = 0x2000, kT = 0x2001, kTextureGenMode = 0x2500, kSphereMap = 0x2402;
constexpr Enum kTextureEnv = 0x2300, kTextureEnvMode = 0x2200, kModulate = 0x2100, kDecal = 0x2101,
               kReplace = 0x1E01;
// textures and pixels
constexpr Enum kTextureMagFilter = 0x2800, kTextureMinFilter = 0x2801, kTextureWrapS = 0x2802,
               kTextureWrapT = 0x2803, kNearest = 0x2600, kLinear = 0x2601, kRepeat = 0x2901,
               kClampToEdge = 0x812F;
constexpr Enum kRgb = 0x1907, kRgba = 0x1908, kBgr = 0x80E0, kBgra = 0x80E1, kLuminance = 0x1909,
               kUnsignedByte = 0x1401, kFloat = 0x1406, kBitmap = 0x1A00;
constexpr Enum kUnpackLsbFirst = 0x0CF1, kUnpackRowLength = 0x0CF2, kUnpackSkipRows = 0x0CF3,
               kUnpackSkipPixels = 0x0CF4, kUnpackAlignment = 0x0CF5, kPackAlignment = 0x0D05;
// display lists and attribute stacks
constexpr Enum kCompile = 0x1300, kCompileAndExecute = 0x1301;
constexpr Bitfield kCurrentBit = 0x00000001, kLightingBit = 0x00000040, kPolygonBit = 0x00000008,
                   kDepthBufferAttribBit = 0x00000100, kColorBufferAttribBit = 0x00004000,
                   kEnableBit = 0x00002000, kListBit = 0x00020000, kTextureBit = 0x00040000,
                   kScissorBit = 0x00080000, kAllAttribBits = 0xFFFFFFFF;
constexpr Bitfield kClientPixelStoreBit = 0x00000001, kClientVertexArrayBit = 0x00000002;
// vertex arrays and buffers
constexpr Enum kVertexArray = 0x8074, kNormalArray = 0x8075, kColorArray = 0x8076, kTextureCoordArray = 0x8078;
constexpr Enum kArrayBuffer = 0x8892, kStreamDraw = 0x88E0, kStaticDraw = 0x88E4, kDynamicDraw = 0x88E8;
// GLU quadrics
constexpr Enum kGluSmooth = 100000, kGluFlat = 100001, kGluNone = 100002;
// clang-format on

// One renderer: an entry point for each call below. Both tables are filled in gfx/ only.
struct EntryPoints {
    // immediate mode
    void (*begin)(Enum mode);
    void (*end)();
    void (*vertex3f)(float x, float y, float z);
    void (*color3f)(float r, float g, float b);
    void (*color4f)(float r, float g, float b, float a);
    void (*normal3f)(float x, float y, float z);
    void (*texCoord2f)(float s, float t);
    // state
    void (*enable)(Enum capability);
    void (*disable)(Enum capability);
    void (*blendFunc)(Enum source, Enum destination);
    void (*depthFunc)(Enum function);
    void (*depthMask)(Boolean write);
    void (*shadeModel)(Enum mode);
    void (*hint)(Enum target, Enum mode);
    void (*lineWidth)(float width);
    void (*polygonMode)(Enum face, Enum mode);
    void (*clearColor)(float r, float g, float b, float a);
    void (*clearDepth)(double depth);
    void (*clear)(Bitfield mask);
    void (*viewport)(int x, int y, int width, int height);
    void (*scissor)(int x, int y, int width, int height);
    // matrices
    void (*matrixMode)(Enum mode);
    void (*loadIdentity)();
    void (*pushMatrix)();
    void (*popMatrix)();
    void (*translatef)(float x, float y, float z);
    void (*rotatef)(float degrees, float x, float y, float z);
    void (*scalef)(float x, float y, float z);
    void (*ortho)(double left, double right, double bottom, double top, double zNear, double zFar);
    void (*perspective)(double fovyDegrees, double aspect, double zNear, double zFar);  // gluPerspective
    void (*lookAt)(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                   double upY, double upZ);  // gluLookAt
    // queries
    void (*getFloatv)(Enum name, float* values);
    void (*getIntegerv)(Enum name, int* values);
    const unsigned char* (*getString)(Enum name);
    Enum (*getError)();
    // lighting, texture coordinate generation, texture environment
    void (*lightfv)(Enum light, Enum name, const float* values);
    void (*lightModelfv)(Enum name, const float* values);
    void (*materialfv)(Enum face, Enum name, const float* values);
    void (*texGeni)(Enum coordinate, Enum name, int value);
    void (*texEnvi)(Enum target, Enum name, int value);
    // textures and pixel storage
    void (*genTextures)(int count, unsigned* names);
    void (*bindTexture)(Enum target, unsigned name);
    void (*texParameteri)(Enum target, Enum name, int value);
    void (*texImage2D)(Enum target, int level, int internalFormat, int width, int height, int border, Enum format,
                       Enum type, const void* pixels);
    void (*deleteTextures)(int count, const unsigned* names);
    void (*pixelStorei)(Enum name, int value);
    // display lists and attribute stacks
    unsigned (*genLists)(int range);
    void (*newList)(unsigned list, Enum mode);
    void (*endList)();
    void (*callList)(unsigned list);
    void (*callLists)(int count, Enum type, const void* lists);
    void (*listBase)(unsigned base);
    void (*deleteLists)(unsigned list, int range);
    void (*pushAttrib)(Bitfield mask);
    void (*popAttrib)();
    void (*pushClientAttrib)(Bitfield mask);
    void (*popClientAttrib)();
    // raster position and bitmaps
    void (*rasterPos2i)(int x, int y);
    void (*bitmap)(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                   const unsigned char* bits);
    // vertex arrays from buffer objects
    void (*vertexPointer)(int size, Enum type, int stride, const void* pointer);
    void (*enableClientState)(Enum array);
    void (*disableClientState)(Enum array);
    void (*drawArrays)(Enum mode, int first, int count);
    void (*genBuffers)(int count, unsigned* names);
    void (*bindBuffer)(Enum target, unsigned name);
    void (*bufferData)(Enum target, std::ptrdiff_t size, const void* data, Enum usage);
    void (*deleteBuffers)(int count, const unsigned* names);
    // GLU quadrics
    Quadric (*newQuadric)();
    void (*quadricNormals)(Quadric quadric, Enum normals);
    void (*quadricTexture)(Quadric quadric, Boolean generate);
    void (*sphere)(Quadric quadric, double radius, int slices, int stacks);
    void (*deleteQuadric)(Quadric quadric);
    // frames
    void (*readBuffer)(Enum buffer);
    void (*readPixels)(int x, int y, int width, int height, Enum format, Enum type, void* pixels);
    void (*flush)();
    void (*finish)();
};

// The renderer in use; gl11 until another is chosen.
extern const EntryPoints* entryPoints;

// clang-format off
inline void begin(Enum mode) { entryPoints->begin(mode); }
inline void end() { entryPoints->end(); }
inline void vertex3f(float x, float y, float z) { entryPoints->vertex3f(x, y, z); }
inline void color3f(float r, float g, float b) { entryPoints->color3f(r, g, b); }
inline void color4f(float r, float g, float b, float a) { entryPoints->color4f(r, g, b, a); }
inline void normal3f(float x, float y, float z) { entryPoints->normal3f(x, y, z); }
inline void texCoord2f(float s, float t) { entryPoints->texCoord2f(s, t); }
inline void enable(Enum capability) { entryPoints->enable(capability); }
inline void disable(Enum capability) { entryPoints->disable(capability); }
inline void blendFunc(Enum source, Enum destination) { entryPoints->blendFunc(source, destination); }
inline void depthFunc(Enum function) { entryPoints->depthFunc(function); }
inline void depthMask(Boolean write) { entryPoints->depthMask(write); }
inline void shadeModel(Enum mode) { entryPoints->shadeModel(mode); }
inline void hint(Enum target, Enum mode) { entryPoints->hint(target, mode); }
inline void lineWidth(float width) { entryPoints->lineWidth(width); }
inline void polygonMode(Enum face, Enum mode) { entryPoints->polygonMode(face, mode); }
inline void clearColor(float r, float g, float b, float a) { entryPoints->clearColor(r, g, b, a); }
inline void clearDepth(double depth) { entryPoints->clearDepth(depth); }
inline void clear(Bitfield mask) { entryPoints->clear(mask); }
inline void viewport(int x, int y, int width, int height) { entryPoints->viewport(x, y, width, height); }
inline void scissor(int x, int y, int width, int height) { entryPoints->scissor(x, y, width, height); }
inline void matrixMode(Enum mode) { entryPoints->matrixMode(mode); }
inline void loadIdentity() { entryPoints->loadIdentity(); }
inline void pushMatrix() { entryPoints->pushMatrix(); }
inline void popMatrix() { entryPoints->popMatrix(); }
inline void translatef(float x, float y, float z) { entryPoints->translatef(x, y, z); }
inline void rotatef(float degrees, float x, float y, float z) { entryPoints->rotatef(degrees, x, y, z); }
inline void scalef(float x, float y, float z) { entryPoints->scalef(x, y, z); }
inline void ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
    entryPoints->ortho(left, right, bottom, top, zNear, zFar);
}
inline void perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    entryPoints->perspective(fovyDegrees, aspect, zNear, zFar);
}
inline void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                   double upY, double upZ) {
    entryPoints->lookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}
inline void getFloatv(Enum name, float* values) { entryPoints->getFloatv(name, values); }
inline void getIntegerv(Enum name, int* values) { entryPoints->getIntegerv(name, values); }
inline const unsigned char* getString(Enum name) { return entryPoints->getString(name); }
inline Enum getError() { return entryPoints->getError(); }
inline void lightfv(Enum light, Enum name, const float* values) { entryPoints->lightfv(light, name, values); }
inline void lightModelfv(Enum name, const float* values) { entryPoints->lightModelfv(name, values); }
inline void materialfv(Enum face, Enum name, const float* values) { entryPoints->materialfv(face, name, values); }
inline void texGeni(Enum coordinate, Enum name, int value) { entryPoints->texGeni(coordinate, name, value); }
inline void texEnvi(Enum target, Enum name, int value) { entryPoints->texEnvi(target, name, value); }
inline void genTextures(int count, unsigned* names) { entryPoints->genTextures(count, names); }
inline void bindTexture(Enum target, unsigned name) { entryPoints->bindTexture(target, name); }
inline void texParameteri(Enum target, Enum name, int value) { entryPoints->texParameteri(target, name, value); }
inline void texImage2D(Enum target, int level, int internalFormat, int width, int height, int border, Enum format,
                       Enum type, const void* pixels) {
    entryPoints->texImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
inline void deleteTextures(int count, const unsigned* names) { entryPoints->deleteTextures(count, names); }
inline void pixelStorei(Enum name, int value) { entryPoints->pixelStorei(name, value); }
inline unsigned genLists(int range) { return entryPoints->genLists(range); }
inline void newList(unsigned list, Enum mode) { entryPoints->newList(list, mode); }
inline void endList() { entryPoints->endList(); }
inline void callList(unsigned list) { entryPoints->callList(list); }
inline void callLists(int count, Enum type, const void* lists) { entryPoints->callLists(count, type, lists); }
inline void listBase(unsigned base) { entryPoints->listBase(base); }
inline void deleteLists(unsigned list, int range) { entryPoints->deleteLists(list, range); }
inline void pushAttrib(Bitfield mask) { entryPoints->pushAttrib(mask); }
inline void popAttrib() { entryPoints->popAttrib(); }
inline void pushClientAttrib(Bitfield mask) { entryPoints->pushClientAttrib(mask); }
inline void popClientAttrib() { entryPoints->popClientAttrib(); }
inline void rasterPos2i(int x, int y) { entryPoints->rasterPos2i(x, y); }
inline void bitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                   const unsigned char* bits) {
    entryPoints->bitmap(width, height, xOrigin, yOrigin, xMove, yMove, bits);
}
inline void vertexPointer(int size, Enum type, int stride, const void* pointer) {
    entryPoints->vertexPointer(size, type, stride, pointer);
}
inline void enableClientState(Enum array) { entryPoints->enableClientState(array); }
inline void disableClientState(Enum array) { entryPoints->disableClientState(array); }
inline void drawArrays(Enum mode, int first, int count) { entryPoints->drawArrays(mode, first, count); }
inline void genBuffers(int count, unsigned* names) { entryPoints->genBuffers(count, names); }
inline void bindBuffer(Enum target, unsigned name) { entryPoints->bindBuffer(target, name); }
inline void bufferData(Enum target, std::ptrdiff_t size, const void* data, Enum usage) {
    entryPoints->bufferData(target, size, data, usage);
}
inline void deleteBuffers(int count, const unsigned* names) { entryPoints->deleteBuffers(count, names); }
inline Quadric newQuadric() { return entryPoints->newQuadric(); }
inline void quadricNormals(Quadric quadric, Enum normals) { entryPoints->quadricNormals(quadric, normals); }
inline void quadricTexture(Quadric quadric, Boolean generate) { entryPoints->quadricTexture(quadric, generate); }
inline void sphere(Quadric quadric, double radius, int slices, int stacks) {
    entryPoints->sphere(quadric, radius, slices, stacks);
}
inline void deleteQuadric(Quadric quadric) { entryPoints->deleteQuadric(quadric); }
inline void readBuffer(Enum buffer) { entryPoints->readBuffer(buffer); }
inline void readPixels(int x, int y, int width, int height, Enum format, Enum type, void* pixels) {
    entryPoints->readPixels(x, y, width, height, format, type, pixels);
}
inline void flush() { entryPoints->flush(); }
inline void finish() { entryPoints->finish(); }
// clang-format on

}  // namespace gfx
