// Geometry computed once at set-up and only read while drawing: the rings of the line
// sculpture and the spoke-and-ring grid of the ball scene.
#pragma once

#include "engine/vector3.h"

// Point k (0..35) of ring j (0..17) of the sculpture.
extern float sculptureX[36][18];
extern float sculptureY[36][18];
extern float sculptureZ[36][18];

// Ring k (0..4), spoke i (1..6); column 0 is never used.
extern Vector3 ballGrid[5][7];
// A rotated copy of ballGrid that stepBallGrid moves the grid toward.
extern Vector3 ballGridTarget[5][7];
extern float ballGridRadius;  // 10
extern float ballGridStep;    // 0.2

void buildSculptureTables();
void buildBallGrid();
// Angle in degrees. Non-zero: ballGridTarget becomes ballGrid turned by it about z. Zero: every
// x and y of ballGrid moves one step toward its target (unclamped).
void stepBallGrid(float angle);
