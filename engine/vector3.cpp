// Vector math in single precision throughout.
#include "engine/vector3.h"

#include <cmath>

Vector3 CrossProduct(Vector3 a, Vector3 b) {
    Vector3 vNormal;
    vNormal.x = a.y * b.z - a.z * b.y;
    vNormal.y = a.z * b.x - a.x * b.z;
    vNormal.z = a.x * b.y - a.y * b.x;
    return vNormal;
}

float Length(Vector3 v) {
    const float sum = v.x * v.x + v.y * v.y + v.z * v.z;
    return SquareRoot(sum);
}

Vector3 Normalized(Vector3 v) { return v / Length(v); }

Vector3* NormalizeInPlace(Vector3* v) {
    float length = Length(*v);
    if (length == 0.0f) length = 1.0f;
    v->x /= length;
    v->y /= length;
    v->z /= length;
    return v;
}

Vector3* FaceNormal(const Vector3* triangle, Vector3* normal) {
    const Vector3 v1 = triangle[0] - triangle[1];
    const Vector3 v2 = triangle[1] - triangle[2];
    *normal = CrossProduct(v1, v2);
    return NormalizeInPlace(normal);
}

float AbsoluteValue(float value) { return value < 0.0f ? -value : value; }

int SmallestOfThree(float first, float second, float third) {
    if (first < second && first < third) return 1;
    if (second < first && second < third) return 2;
    if (third < first && third < second) return 3;
    return 0;
}

float SquareRoot(float value) { return std::sqrt(value); }
float Sine(float radians) { return std::sin(radians); }
float Cosine(float radians) { return std::cos(radians); }
