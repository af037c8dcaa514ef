// The swept extent of an animated model and the camera that frames it.
#include "examples/viewer/viewer_view.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;
constexpr float kSmallestRadius = 0.5f;

Vector3 rotated(float degrees, Vector3 p, int axis) {
    const float c = std::cos(degrees * kRadiansPerDegree);
    const float s = std::sin(degrees * kRadiansPerDegree);
    switch (axis) {
        case 0: return Vector3(p.x, p.y * c - p.z * s, p.y * s + p.z * c);
        case 1: return Vector3(p.x * c + p.z * s, p.y, -p.x * s + p.z * c);
        default: return Vector3(p.x * c - p.y * s, p.x * s + p.y * c, p.z);
    }
}

bool finite(Vector3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void widen(Extent& extent, Vector3 p) {
    if (!finite(p)) return;
    extent.minimum =
        Vector3(std::min(extent.minimum.x, p.x), std::min(extent.minimum.y, p.y), std::min(extent.minimum.z, p.z));
    extent.maximum =
        Vector3(std::max(extent.maximum.x, p.x), std::max(extent.maximum.y, p.y), std::max(extent.maximum.z, p.z));
}

}  // namespace

float Extent::radius() const {
    const Vector3 half = (maximum - minimum) / 2.0f;
    const float length = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
    return std::isfinite(length) ? std::max(length, kSmallestRadius) : kSmallestRadius;
}

Vector3 placedPoint(Vector3 point, float tx, float ty, float tz, float rx, float ry, float rz) {
    const Vector3 turned = rotated(rx, rotated(ry, rotated(rz, point, 2), 1), 0);
    return turned + Vector3(tx, ty, tz);
}

Extent sweptExtent(const Model& model) {
    // Starts at the origin, which the bounds always hold.
    Extent extent;
    widen(extent, Vector3(model.minX, model.minY, model.minZ));
    widen(extent, Vector3(model.maxX, model.maxY, model.maxZ));
    if (model.joints == nullptr) return extent;
    for (int j = 0; j < model.numofjoints; ++j) {
        const Joint& joint = model.joints[j];
        if (joint.points == nullptr) continue;
        const bool framed =
            model.numofframe > 0 && joint.tx && joint.ty && joint.tz && joint.rx && joint.ry && joint.rz;
        const int frames = framed ? model.numofframe : 1;
        for (int f = 0; f < frames; ++f) {
            for (int p = 0; p < joint.pointCount; ++p) {
                const ModelPoint& point = joint.points[p];
                const Vector3 local(point.x, point.y, point.z);
                widen(extent, framed ? placedPoint(local, joint.tx[f], joint.ty[f], joint.tz[f], joint.rx[f],
                                                   joint.ry[f], joint.rz[f])
                                     : local);
            }
        }
    }
    return extent;
}

ViewerCamera frameExtent(const Extent& extent) {
    const float radius = extent.radius();
    // Far enough that a sphere round the extent fits half the 45-degree field, with room.
    const float distance = 1.15f * radius / std::sin(22.5f * kRadiansPerDegree);
    const Vector3 direction = Normalized(Vector3(0.3f, 0.25f, 1.0f));
    ViewerCamera camera;
    camera.target = extent.centre();
    camera.eye = camera.target + Vector3(direction.x * distance, direction.y * distance, direction.z * distance);
    // The depth buffer has 16 bits: the near plane stays well away from the eye. Only a model
    // moved right up to the camera is clipped.
    camera.nearPlane = 0.1 * static_cast<double>(distance);
    camera.farPlane = static_cast<double>(distance + 10.0f * radius);
    return camera;
}

float secondModelOffset(const Model& model, const Extent& extent) {
    const float boxWidth = model.maxX - model.minX;
    const float figureWidth = extent.maximum.x - extent.minimum.x;
    const float width = std::max(boxWidth, figureWidth);
    return std::isfinite(width) ? 1.25f * std::max(width, kSmallestRadius) : 1.0f;
}
