// Matrix products and the transforms of the matrix calls, in single precision where the
// driver works in single precision and in double where GLU does.
#include "gfx/gles3/matrix.h"

#include <cmath>

namespace gfx::gles3 {

namespace {

constexpr double kPi = 3.14159265358979323846;

Mat4 fromDoubles(const double (&d)[16]) {
    Mat4 r{};
    for (int i = 0; i < 16; ++i) r[i] = static_cast<float>(d[i]);
    return r;
}

}  // namespace

Mat4 identity() { return Mat4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int row = 0; row < 4; ++row) {
        const float a0 = a[row], a1 = a[4 + row], a2 = a[8 + row], a3 = a[12 + row];
        for (int column = 0; column < 4; ++column) {
            const int c = column * 4;
            r[c + row] = a0 * b[c] + a1 * b[c + 1] + a2 * b[c + 2] + a3 * b[c + 3];
        }
    }
    return r;
}

std::array<float, 4> transform(const Mat4& m, const std::array<float, 4>& v) {
    std::array<float, 4> r{};
    for (int row = 0; row < 4; ++row)
        r[static_cast<std::size_t>(row)] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    return r;
}

Mat4 translation(float x, float y, float z) {
    Mat4 r = identity();
    r[12] = x;
    r[13] = y;
    r[14] = z;
    return r;
}

void translate(Mat4& m, float x, float y, float z) {
    for (int row = 0; row < 4; ++row) m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void scale(Mat4& m, float x, float y, float z) {
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

Mat4 rotation(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return identity();
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * static_cast<float>(kPi / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    const float k = 1.0f - c;
    Mat4 r = identity();
    r[0] = x * x * k + c;
    r[1] = y * x * k + z * s;
    r[2] = x * z * k - y * s;
    r[4] = x * y * k - z * s;
    r[5] = y * y * k + c;
    r[6] = y * z * k + x * s;
    r[8] = x * z * k + y * s;
    r[9] = y * z * k - x * s;
    r[10] = z * z * k + c;
    return r;
}

Mat4 orthographic(double left, double right, double bottom, double top, double zNear, double zFar) {
    // The driver takes the planes as floats and builds the matrix in float.
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float b = static_cast<float>(bottom), t = static_cast<float>(top);
    const float n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    Mat4 m = identity();
    m[0] = 2.0f / (r - l);
    m[5] = 2.0f / (t - b);
    m[10] = -2.0f / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    return m;
}

Mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double half = fovyDegrees / 2.0 * kPi / 180.0;
    const double f = std::cos(half) / std::sin(half);
    const double depth = zNear - zFar;
    const double d[16] = {
        f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / depth, -1, 0, 0, 2.0 * zFar * zNear / depth, 0};
    return fromDoubles(d);
}

Mat4 lookAtRotation(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                    double upY, double upZ) {
    // GLU works on single-precision vectors here.
    using Vec = std::array<float, 3>;
    const auto normalise = [](Vec& v) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length == 0.0f) return;
        for (float& e : v) e /= length;
    };
    const auto cross = [](const Vec& a, const Vec& b) {
        return Vec{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    Vec f{static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY), static_cast<float>(centreZ - eyeZ)};
    const Vec up{static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    normalise(f);
    Vec s = cross(f, up);
    normalise(s);
    const Vec u = cross(s, f);
    Mat4 m = identity();
    for (int i = 0; i < 3; ++i) {
        m[i * 4] = s[static_cast<std::size_t>(i)];
        m[i * 4 + 1] = u[static_cast<std::size_t>(i)];
        m[i * 4 + 2] = -f[static_cast<std::size_t>(i)];
    }
    return m;
}

std::array<float, 9> normalMatrix(const Mat4& m) {
    // Cofactors of the upper 3 x 3 over its determinant: the inverse transpose directly.
    const double a = m[0], b = m[4], c = m[8];
    const double d = m[1], e = m[5], f = m[9];
    const double g = m[2], h = m[6], i = m[10];
    const double c00 = e * i - f * h, c01 = -(d * i - f * g), c02 = d * h - e * g;
    const double c10 = -(b * i - c * h), c11 = a * i - c * g, c12 = -(a * h - b * g);
    const double c20 = b * f - c * e, c21 = -(a * f - c * d), c22 = a * e - b * d;
    const double det = a * c00 + b * c01 + c * c02;
    // The inverse transpose's element (row r, column k) is cofactor(r, k) / det, stored at k * 3 + r.
    const double r[9] = {c00 / det, c10 / det, c20 / det, c01 / det, c11 / det,
                         c21 / det, c02 / det, c12 / det, c22 / det};
    std::array<float, 9> out{};
    for (int k = 0; k < 9; ++k) out[static_cast<std::size_t>(k)] = static_cast<float>(r[k]);
    return out;
}

}  // namespace gfx::gles3
