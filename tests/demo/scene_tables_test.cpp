// The precomputed scene tables: known points, the shape they must have, and the ball grid's
// rotation and stepping.
#include "demo/scene_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/numbers.h"

namespace {

TEST(SculptureTables, KnownPointsTakeTheAngleInRadians) {
    buildSculptureTables();
    EXPECT_EQ(sculptureX[0][0], 0.0f);
    EXPECT_EQ(sculptureY[0][0], 0.0f);
    EXPECT_EQ(sculptureZ[0][0], -2.0f);
    EXPECT_NEAR(sculptureX[1][0], -0.295959, 1e-6);
    EXPECT_NEAR(sculptureY[1][0], 0.456473, 1e-6);
    EXPECT_NEAR(sculptureZ[1][0], -2.0, 1e-6);
    EXPECT_NEAR(sculptureX[1][9], 2.0, 1e-6);
    EXPECT_NEAR(sculptureY[1][9], 0.456473, 1e-6);
    EXPECT_NEAR(sculptureZ[1][9], -0.295959, 1e-6);
    EXPECT_NEAR(sculptureX[0][9], 2.0, 1e-6);
    EXPECT_NEAR(sculptureY[0][9], 0.0, 1e-6);
    EXPECT_NEAR(sculptureZ[0][9], 0.0, 1e-6);
}

TEST(SculptureTables, EveryRingIsAHalfUnitCircleInItsVerticalPlane) {
    buildSculptureTables();
    for (int j = 0; j < 18; ++j) {
        const double b = j * kPi / 18;
        for (int k = 0; k < 36; ++k) {
            const double x = sculptureX[k][j];
            const double z = sculptureZ[k][j];
            // Turned back by the ring's angle, the point lies in the plane z = -2 ...
            EXPECT_NEAR(-std::sin(b) * x + std::cos(b) * z, -2.0, 1e-5) << k << "," << j;
            // ... on the circle of radius 0.5 about (-0.5, 0).
            const double inPlaneX = std::cos(b) * x + std::sin(b) * z;
            EXPECT_NEAR(std::hypot(inPlaneX + 0.5, sculptureY[k][j]), 0.5, 1e-5) << k << "," << j;
        }
    }
    // Consecutive points are about 66 degrees apart on their circle: chords, not short arcs.
    const double first = std::atan2(sculptureY[1][0], sculptureX[1][0] + 0.5);
    const double second = std::atan2(sculptureY[2][0], sculptureX[2][0] + 0.5);
    EXPECT_NEAR(std::remainder(second - first, 2 * kPi), 20 - 6 * kPi, 1e-3);
}

TEST(SculptureTables, BuildingAgainGivesTheSameTables) {
    buildSculptureTables();
    float saved[36][18];
    std::memcpy(saved, sculptureX, sizeof saved);
    sculptureX[5][5] = 99.0f;
    buildSculptureTables();
    EXPECT_EQ(std::memcmp(saved, sculptureX, sizeof saved), 0);
}

TEST(BallGrid, SpokesSixtyDegreesApartCrossFiveRings) {
    buildBallGrid();
    EXPECT_EQ(ballGridRadius, 10.0f);
    EXPECT_EQ(ballGridStep, 0.2f);
    EXPECT_NEAR(ballGrid[0][6].x, 10.0, 1e-5);
    EXPECT_NEAR(ballGrid[0][6].y, 0.0, 1e-5);
    EXPECT_NEAR(ballGrid[0][1].x, 5.0, 1e-5);
    EXPECT_NEAR(ballGrid[0][1].y, 8.660254, 1e-5);
    EXPECT_NEAR(ballGrid[2][2].x, -3.0, 1e-5);
    EXPECT_NEAR(ballGrid[2][2].y, 5.196152, 1e-5);
    EXPECT_NEAR(ballGrid[4][3].x, -2.0, 1e-5);
    EXPECT_NEAR(ballGrid[4][3].y, 0.0, 1e-5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(ballGrid[k][0].x, 0.0f) << "column 0 is never written";
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(ballGrid[k][i].z, 0.0f);
            EXPECT_NEAR(std::hypot(ballGrid[k][i].x, ballGrid[k][i].y), 10.0 - 2 * k, 1e-5);
        }
    }
}

TEST(BallGrid, StepsTowardItsTargetWhichARotationSets) {
    buildBallGrid();
    Vector3 before[5][7];
    std::memcpy(before, ballGrid, sizeof before);
    // The target is still all zeros: every coordinate moves one step toward zero.
    stepBallGrid(0.0f);
    for (int k = 0; k < 5; ++k) {
        for (int i = 1; i <= 6; ++i) {
            for (const auto member : {&Vector3::x, &Vector3::y}) {
                const float old = before[k][i].*member;
                const float expected = old > 0 ? old - 0.2f : old + 0.2f;
                EXPECT_EQ(ballGrid[k][i].*member, old == 0.0f ? 0.0f : expected) << k << "," << i;
            }
            EXPECT_EQ(ballGrid[k][i].z, 0.0f);
        }
    }

    buildBallGrid();
    std::memcpy(before, ballGrid, sizeof before);
    stepBallGrid(90.0f);
    EXPECT_EQ(std::memcmp(before, ballGrid, sizeof before), 0) << "a rotation only sets the target";
    EXPECT_NEAR(ballGridTarget[0][6].x, 0.0, 1e-5);
    EXPECT_NEAR(ballGridTarget[0][6].y, 10.0, 1e-5);
    EXPECT_NEAR(ballGridTarget[0][1].x, -8.660254, 1e-5);
    EXPECT_NEAR(ballGridTarget[0][1].y, 5.0, 1e-5);
    // Enough steps bring every point within one step of its target, where it stays.
    for (int n = 0; n < 150; ++n) stepBallGrid(0.0f);
    for (int k = 0; k < 5; ++k) {
        for (int i = 1; i <= 6; ++i) {
            EXPECT_LE(std::fabs(ballGrid[k][i].x - ballGridTarget[k][i].x), 0.2f + 1e-4f);
            EXPECT_LE(std::fabs(ballGrid[k][i].y - ballGridTarget[k][i].y), 0.2f + 1e-4f);
        }
    }
}

}  // namespace
