// Single-precision 3-vector and the free functions the engine builds on.
#pragma once

struct Vector3 {
    float x, y, z;

    // Leaves the components unset; static instances start at zero.
    Vector3() = default;
    Vector3(float newX, float newY, float newZ) : x(newX), y(newY), z(newZ) {}

    Vector3 operator+(Vector3 other) const { return Vector3(x + other.x, y + other.y, z + other.z); }
    Vector3 operator-(Vector3 other) const { return Vector3(x - other.x, y - other.y, z - other.z); }
    // Divides each component; no test of the divisor.
    Vector3 operator/(float divisor) const { return Vector3(x / divisor, y / divisor, z / divisor); }
};

Vector3 CrossProduct(Vector3 a, Vector3 b);
float Length(Vector3 v);
// v / Length(v); a zero vector gives non-finite components.
Vector3 Normalized(Vector3 v);
// Divides v by its length (a zero length counts as 1); returns v.
Vector3* NormalizeInPlace(Vector3* v);
// Unit normal of the triangle triangle[0..2], written to *normal; returns normal.
Vector3* FaceNormal(const Vector3* triangle, Vector3* normal);
float AbsoluteValue(float value);
// 1, 2 or 3 for the argument strictly smaller than both others; 0 when none is.
int SmallestOfThree(float first, float second, float third);

float SquareRoot(float value);
float Sine(float radians);
float Cosine(float radians);
