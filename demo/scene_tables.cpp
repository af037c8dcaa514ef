// Filling the scene tables. Single-precision sines for the ring points, double precision for
// the rest, and the show's own value of pi.
#include "demo/scene_tables.h"

#include <cmath>

#include "base/numbers.h"

float sculptureX[36][18];
float sculptureY[36][18];
float sculptureZ[36][18];
Vector3 ballGrid[5][7];
Vector3 ballGridTarget[5][7];
float ballGridRadius;
float ballGridStep;

namespace {

// One coordinate of the grid one step closer to its target.
float stepToward(float value, float target) {
    if (value > target) return value - ballGridStep;
    if (value < target) return value + ballGridStep;
    return value;
}
}  // namespace

void buildSculptureTables() {
    for (int j = 0; j < 18; ++j) {
        for (int k = 0; k < 36; ++k) {
            // Whole radians, not degrees: consecutive points lie about 66 degrees apart.
            const float a = static_cast<float>(10 * k);
            const float x = 0.0f;
            const float y = Sine(a);
            const double z = -2.0;
            const float x1 = Cosine(a) * x - Sine(a) * y;
            const float y1 = Sine(a) * x + Cosine(a) * y;
            const double b = j * kPi * 10 / 180;
            sculptureX[k][j] = static_cast<float>(std::cos(b) * x1 - std::sin(b) * z);
            sculptureY[k][j] = y1;
            sculptureZ[k][j] = static_cast<float>(std::sin(b) * x1 + std::cos(b) * z);
        }
    }
}

void buildBallGrid() {
    ballGridStep = 0.2f;
    ballGridRadius = 10.0f;
    for (int i = 1; i <= 6; ++i) {
        for (int k = 0; k < 5; ++k) {
            const float r = ballGridRadius - static_cast<float>(2 * k);
            const double angle = i * kPi / 3;
            ballGrid[k][i] =
                Vector3(static_cast<float>(std::cos(angle) * r), static_cast<float>(std::sin(angle) * r), 0.0f);
        }
    }
}

void stepBallGrid(float angle) {
    const double theta = angle * kPi / 180;
    for (int i = 1; i <= 6; ++i) {
        for (int k = 0; k < 5; ++k) {
            Vector3& grid = ballGrid[k][i];
            Vector3& target = ballGridTarget[k][i];
            if (angle != 0.0f) {
                target.x = static_cast<float>(std::cos(theta) * grid.x - std::sin(theta) * grid.y);
                target.y = static_cast<float>(std::sin(theta) * grid.x + std::cos(theta) * grid.y);
            } else {
                grid.x = stepToward(grid.x, target.x);
                grid.y = stepToward(grid.y, target.y);
            }
        }
    }
}
