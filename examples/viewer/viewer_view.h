// Where the viewer looks from: the space a model's animation sweeps through, a camera that
// frames it, and the second model's starting place beside the first.
#pragma once

#include "engine/vector3.h"
#include "model/model.h"

struct Extent {
    Vector3 minimum{0, 0, 0};
    Vector3 maximum{0, 0, 0};

    Vector3 centre() const { return (minimum + maximum) / 2.0f; }
    // Half the diagonal; at least a small positive size, so a camera can stand back from it.
    float radius() const;
};

// The box that holds the model's bounds and every point as drawn in every frame, in model
// coordinates (the joints' transforms applied). Non-finite values are left out.
Extent sweptExtent(const Model& model);

// Point (x, y, z) of a joint as drawing places it in frame values (tx..rz, degrees): the
// translation, then the rotations about x, y and z, the z rotation applied to the point first.
Vector3 placedPoint(Vector3 point, float tx, float ty, float tz, float rx, float ry, float rz);

struct ViewerCamera {
    Vector3 eye{0, 0, 0};
    Vector3 target{0, 0, 0};
    double nearPlane = 0.1;
    double farPlane = 100.0;
};

// A camera in front of the extent (towards +z), a little above and to the right, far enough
// that the whole extent fits a 45-degree field of view.
ViewerCamera frameExtent(const Extent& extent);

// x offset of the second model's start: to the right of the first, its box and drawn figure
// clear of the first's.
float secondModelOffset(const Model& model, const Extent& extent);
