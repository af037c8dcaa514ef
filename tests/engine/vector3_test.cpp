#include "engine/vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectVector(Vector3 v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(Vector3, OperatorsWorkComponentwiseAndLeaveOperands) {
    const Vector3 a(1, 2, 3);
    const Vector3 b(4, 6, 8);
    expectVector(a + b, 5, 8, 11);
    expectVector(b - a, 3, 4, 5);
    expectVector(b / 2.0f, 2, 3, 4);
    expectVector(a, 1, 2, 3);
}

TEST(Vector3, CrossProductIsRightHandedAndAnticommutative) {
    expectVector(CrossProduct(Vector3(1, 0, 0), Vector3(0, 1, 0)), 0, 0, 1);
    expectVector(CrossProduct(Vector3(0, 1, 0), Vector3(1, 0, 0)), 0, 0, -1);
    expectVector(CrossProduct(Vector3(2, 3, 4), Vector3(5, 6, 7)), 3 * 7 - 4 * 6, 4 * 5 - 2 * 7, 2 * 6 - 3 * 5);
}

TEST(Vector3, LengthAndNormalisation) {
    EXPECT_FLOAT_EQ(Length(Vector3(3, 4, 0)), 5.0f);
    expectVector(Normalized(Vector3(3, 4, 0)), 0.6f, 0.8f, 0.0f);

    Vector3 zero(0, 0, 0);
    EXPECT_EQ(NormalizeInPlace(&zero), &zero);
    expectVector(zero, 0, 0, 0, 0);

    Vector3 v(0, 0, -7);
    NormalizeInPlace(&v);
    expectVector(v, 0, 0, -1);

    // Normalized has no guard: a zero vector gives non-finite components.
    EXPECT_FALSE(std::isfinite(Normalized(Vector3(0, 0, 0)).x));
}

TEST(Vector3, FaceNormalFollowsWindingAndIsZeroForCollinearPoints) {
    Vector3 normal(9, 9, 9);
    const Vector3 ccw[3] = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0)};
    EXPECT_EQ(FaceNormal(ccw, &normal), &normal);
    expectVector(normal, 0, 0, 1);

    const Vector3 cw[3] = {Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(1, 0, 0)};
    FaceNormal(cw, &normal);
    expectVector(normal, 0, 0, -1);

    const Vector3 line[3] = {Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2)};
    FaceNormal(line, &normal);
    expectVector(normal, 0, 0, 0, 0);

    // A large triangle still comes out unit length.
    const Vector3 big[3] = {Vector3(0, 0, 0), Vector3(0, 0, 100), Vector3(100, 0, 0)};
    FaceNormal(big, &normal);
    expectVector(normal, 0, 1, 0);
}

TEST(Vector3, AbsoluteValueAndSmallestOfThree) {
    EXPECT_EQ(AbsoluteValue(-2.5f), 2.5f);
    EXPECT_EQ(AbsoluteValue(2.5f), 2.5f);
    EXPECT_TRUE(std::isnan(AbsoluteValue(std::numeric_limits<float>::quiet_NaN())));

    EXPECT_EQ(SmallestOfThree(1, 2, 3), 1);
    EXPECT_EQ(SmallestOfThree(2, 1, 3), 2);
    EXPECT_EQ(SmallestOfThree(3, 2, 1), 3);
    for (const int tie : {SmallestOfThree(1, 1, 2), SmallestOfThree(2, 1, 1), SmallestOfThree(1, 1, 1),
                          SmallestOfThree(std::numeric_limits<float>::quiet_NaN(), 1, 2)}) {
        EXPECT_TRUE(tie < 1 || tie > 3) << tie;
    }
}

}  // namespace
