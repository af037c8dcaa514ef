// Timed frame stepping and immediate-mode drawing of a jointed model: each joint is moved
// rigidly by its current frame's translation and rotations, then the move is undone.

#include <cstdint>

#include "gfx/gfx.h"
#include "model/model.h"
#include "platform/clock.h"

namespace {

bool hasFrameArrays(const Joint& joint) {
    return joint.tx != nullptr && joint.ty != nullptr && joint.tz != nullptr && joint.rx != nullptr &&
           joint.ry != nullptr && joint.rz != nullptr;
}

bool cornersInRange(const ModelFace& face, int pointCount) {
    return face.a >= 0 && face.a < pointCount && face.b >= 0 && face.b < pointCount && face.c >= 0 &&
           face.c < pointCount;
}

// The joint's placement in one frame, applied and undone in exactly mirrored order so that
// every joint stands relative to the caller's matrix.
struct JointMove {
    bool active = false;
    float tx = 0, ty = 0, tz = 0, rx = 0, ry = 0, rz = 0;

    JointMove(const Joint& joint, int frame) {
        if (frame < 0 || !hasFrameArrays(joint)) return;
        active = true;
        tx = joint.tx[frame];
        ty = joint.ty[frame];
        tz = joint.tz[frame];
        rx = joint.rx[frame];
        ry = joint.ry[frame];
        rz = joint.rz[frame];
    }

    void apply() const {
        if (!active) return;
        gfx::translatef(tx, ty, tz);
        gfx::rotatef(rx, 1.0f, 0.0f, 0.0f);
        gfx::rotatef(ry, 0.0f, 1.0f, 0.0f);
        gfx::rotatef(rz, 0.0f, 0.0f, 1.0f);
    }

    void undo() const {
        if (!active) return;
        gfx::rotatef(-rz, 0.0f, 0.0f, 1.0f);
        gfx::rotatef(-ry, 0.0f, 1.0f, 0.0f);
        gfx::rotatef(-rx, 1.0f, 0.0f, 0.0f);
        gfx::translatef(-tx, -ty, -tz);
    }
};

}  // namespace

void Model::stepAnimation() {
    if (paused) return;
    nowTick = static_cast<int>(platform::tickCount());
    // No frames per second: the model stands still rather than dividing by zero.
    if (framerate < 1) return;
    const int period = 1000 / framerate;
    // Signed difference of the unsigned counts, so that the step survives the tick wrapping.
    const auto elapsed =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(nowTick) - static_cast<std::uint32_t>(lastStepTick));
    if (elapsed > period) {
        ++currentFrame;
        if (currentFrame >= numofframe || currentFrame < 0) currentFrame = 0;
        lastStepTick = nowTick;
    }
}

int Model::shownFrame() const { return currentFrame >= 0 && currentFrame < numofframe ? currentFrame : -1; }

void Model::draw(int jointIndex) {
    stepAnimation();
    gfx::color3f(1.0f, 1.0f, 1.0f);
    gfx::bindTexture(gfx::kTexture2D, texture);
    const int total = jointTotal();
    if (jointIndex == -1) {
        for (int j = 0; j < total; ++j) drawJoint(joints[j]);
    } else if (jointIndex >= 0 && jointIndex < total) {
        drawJoint(joints[jointIndex]);
    }
}

void Model::drawJoint(const Joint& joint) {
    const JointMove move(joint, shownFrame());
    move.apply();
    gfx::begin(wireframe ? gfx::kLineLoop : gfx::kTriangles);
    if (joint.faces != nullptr && joint.points != nullptr) {
        for (int k = 0; k < joint.faceCount; ++k) {
            const ModelFace& face = joint.faces[k];
            // Loaded models never fail this; hand-built ones must not read outside points.
            if (!cornersInRange(face, joint.pointCount)) continue;
            drawScratch[0] = face.nx;
            drawScratch[1] = face.ny;
            drawScratch[2] = face.nz;
            gfx::normal3f(drawScratch[0], drawScratch[1], drawScratch[2]);
            for (const int corner : {face.a, face.b, face.c}) {
                const ModelPoint& point = joint.points[corner];
                drawScratch[3] = point.u;
                drawScratch[4] = point.v;
                gfx::texCoord2f(drawScratch[3], drawScratch[4]);
                drawScratch[5] = point.x;
                drawScratch[6] = point.y;
                drawScratch[7] = point.z;
                gfx::vertex3f(drawScratch[5], drawScratch[6], drawScratch[7]);
            }
        }
    }
    gfx::end();
    move.undo();
}

void Model::drawNormals() {
    gfx::color3f(1.0f, 1.0f, 1.0f);
    const int total = jointTotal();
    for (int j = 0; j < total; ++j) drawJointNormals(joints[j]);
}

void Model::drawJointNormals(const Joint& joint) {
    const JointMove move(joint, shownFrame());
    move.apply();
    gfx::begin(gfx::kLines);
    if (joint.faces != nullptr && joint.points != nullptr) {
        for (int k = 0; k < joint.faceCount; ++k) {
            const ModelFace& face = joint.faces[k];
            if (!cornersInRange(face, joint.pointCount)) continue;
            const ModelPoint& a = joint.points[face.a];
            const ModelPoint& b = joint.points[face.b];
            const ModelPoint& c = joint.points[face.c];
            drawScratch[0] = (a.x + b.x + c.x) / 3.0f;
            drawScratch[1] = (a.y + b.y + c.y) / 3.0f;
            drawScratch[2] = (a.z + b.z + c.z) / 3.0f;
            drawScratch[3] = drawScratch[0] + face.nx;
            drawScratch[4] = drawScratch[1] + face.ny;
            drawScratch[5] = drawScratch[2] + face.nz;
            gfx::color3f(1.0f, 0.0f, 0.0f);
            gfx::vertex3f(drawScratch[0], drawScratch[1], drawScratch[2]);
            gfx::color3f(0.0f, 0.0f, 1.0f);
            gfx::vertex3f(drawScratch[3], drawScratch[4], drawScratch[5]);
        }
    }
    gfx::end();
    move.undo();
}
