// The camera: eye point, point looked at, up and sideways vectors, the view transform,
// and the moves and turns that steer it.
#pragma once

#include "engine/vector3.h"

// Seconds (or any unit) per frame that scales pollMovementKeys' step; 0 unless a caller sets it.
extern float frameTime;

class Camera {
public:
    Vector3 position;
    Vector3 view;  // the point looked at
    Vector3 upVector;
    Vector3 strafeVector;  // written only by updateCamera

    // Position (0, 0, 0), view (0, 1, 0.5), up (0, 0, 1), strafeVector (0, 0, 0).
    Camera();

    void place(float positionX, float positionY, float positionZ, float viewX, float viewY, float viewZ, float upX,
               float upY, float upZ);
    Vector3 getPosition() const { return position; }
    Vector3 getView() const { return view; }

    // Moves position and view along the unit view direction (negative: backward).
    void moveAlongView(float speed);
    // Moves position and view along strafeVector, in x and z only (negative: left).
    void strafeSideways(float speed);
    // Rotates the view point about the unit axis (x, y, z) through the position, in radians.
    void turnView(float angle, float x, float y, float z);
    // Turns the view from the cursor's offset to screen point (506, 384), then recentres it.
    void mouseLook();
    // Arrows and W, S, A, D, stepping 100 * frameTime.
    void pollMovementKeys();
    // Refreshes strafeVector, then polls the movement keys.
    void updateCamera();
    // gluLookAt with position, view and up.
    void applyLookAt() const;
};
