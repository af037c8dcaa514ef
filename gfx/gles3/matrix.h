// 4 x 4 float matrices in OpenGL's column-major order and the transforms of the matrix calls,
// each computed in the precision the fixed-function driver reports.
#pragma once

#include <array>

namespace gfx::gles3 {

struct Mat4 {
    std::array<float, 16> m;  // column-major: m[column * 4 + row]
    float operator[](int i) const { return m[static_cast<std::size_t>(i)]; }
    float& operator[](int i) { return m[static_cast<std::size_t>(i)]; }
};

Mat4 identity();
// a * b, each element summed in the order k = 0..3.
Mat4 multiply(const Mat4& a, const Mat4& b);
// m * (x, y, z, w).
std::array<float, 4> transform(const Mat4& m, const std::array<float, 4>& v);

// glTranslatef and glScalef applied to m: only the entries they change are computed, so an
// infinite matrix stays infinite rather than turning into 0 * inf.
void translate(Mat4& m, float x, float y, float z);
void scale(Mat4& m, float x, float y, float z);

// The matrices the other calls multiply onto the current one.
Mat4 translation(float x, float y, float z);
Mat4 rotation(float degrees, float x, float y, float z);  // identity for a zero axis
Mat4 orthographic(double left, double right, double bottom, double top, double zNear, double zFar);
Mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar);
// The rotation part of gluLookAt; the caller then translates by -eye.
Mat4 lookAtRotation(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                    double upY, double upZ);

// The inverse transpose of the upper 3 x 3 (how normals go to eye space), column-major;
// not finite when m is singular or not finite.
std::array<float, 9> normalMatrix(const Mat4& m);

}  // namespace gfx::gles3
