// The gles3 renderer's implementation of each gfx call, gathered into its table by table.cpp.
// Each has the meaning of the OpenGL 1.1 or GLU call of the same name.
#pragma once

#include <cstddef>

#include "gfx/gfx.h"

namespace gfx::gles3::calls {

// immediate.cpp
void begin(Enum mode);
void end();
void vertex3f(float x, float y, float z);
void color3f(float r, float g, float b);
void color4f(float r, float g, float b, float a);
void normal3f(float x, float y, float z);
void texCoord2f(float s, float t);
// capabilities.cpp
void enable(Enum capability);
void disable(Enum capability);
void blendFunc(Enum source, Enum destination);
void depthFunc(Enum function);
void depthMask(Boolean write);
void shadeModel(Enum mode);
void hint(Enum target, Enum mode);
void lineWidth(float width);
void polygonMode(Enum face, Enum mode);
void clearColor(float r, float g, float b, float a);
void clearDepth(double depth);
void clear(Bitfield mask);
void viewport(int x, int y, int width, int height);
void scissor(int x, int y, int width, int height);
// matrices.cpp
void matrixMode(Enum mode);
void loadIdentity();
void pushMatrix();
void popMatrix();
void translatef(float x, float y, float z);
void rotatef(float degrees, float x, float y, float z);
void scalef(float x, float y, float z);
void ortho(double left, double right, double bottom, double top, double zNear, double zFar);
void perspective(double fovyDegrees, double aspect, double zNear, double zFar);
void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
            double upY, double upZ);
// queries.cpp
void getFloatv(Enum name, float* values);
void getIntegerv(Enum name, int* values);
const unsigned char* getString(Enum name);
Enum getError();
// lighting.cpp
void lightfv(Enum light, Enum name, const float* values);
void lightModelfv(Enum name, const float* values);
void materialfv(Enum face, Enum name, const float* values);
void texGeni(Enum coordinate, Enum name, int value);
void texEnvi(Enum target, Enum name, int value);
// textures.cpp
void genTextures(int count, unsigned* names);
void bindTexture(Enum target, unsigned name);
void texParameteri(Enum target, Enum name, int value);
void texImage2D(Enum target, int level, int internalFormat, int width, int height, int border, Enum format, Enum type,
                const void* pixels);
void deleteTextures(int count, const unsigned* names);
// attributes.cpp
void pixelStorei(Enum name, int value);
void pushAttrib(Bitfield mask);
void popAttrib();
void pushClientAttrib(Bitfield mask);
void popClientAttrib();
// lists.cpp
unsigned genLists(int range);
void newList(unsigned list, Enum mode);
void endList();
void callList(unsigned list);
void callLists(int count, Enum type, const void* lists);
void listBase(unsigned base);
void deleteLists(unsigned list, int range);
// raster.cpp
void rasterPos2i(int x, int y);
void bitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove, const unsigned char* bits);
// arrays.cpp
void vertexPointer(int size, Enum type, int stride, const void* pointer);
void enableClientState(Enum array);
void disableClientState(Enum array);
void drawArrays(Enum mode, int first, int count);
void genBuffers(int count, unsigned* names);
void bindBuffer(Enum target, unsigned name);
void bufferData(Enum target, std::ptrdiff_t size, const void* data, Enum usage);
void deleteBuffers(int count, const unsigned* names);
// quadric.cpp
Quadric newQuadric();
void quadricNormals(Quadric quadric, Enum normals);
void quadricTexture(Quadric quadric, Boolean generate);
void sphere(Quadric quadric, double radius, int slices, int stacks);
void deleteQuadric(Quadric quadric);
// frames.cpp
void readBuffer(Enum buffer);
void readPixels(int x, int y, int width, int height, Enum format, Enum type, void* pixels);
void flush();
void finish();

}  // namespace gfx::gles3::calls
