// Helpers for the model tests: hand-built joints, a capturing message sink, and a deep
// comparison of two loaded models.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/report.h"
#include "model/model.h"

namespace model_testing {

struct JointFrame {
    float tx = 0, ty = 0, tz = 0, rx = 0, ry = 0, rz = 0;
};

inline std::shared_ptr<float[]> floats(const std::vector<float>& values) {
    std::shared_ptr<float[]> array(new float[values.size() + 1]());
    for (std::size_t i = 0; i < values.size(); ++i) array[i] = values[i];
    return array;
}

// A joint with the given points, faces and frames; its bounds are left at zero.
inline Joint makeJoint(const std::vector<ModelPoint>& points, const std::vector<ModelFace>& faces,
                       const std::vector<JointFrame>& frames) {
    Joint joint;
    joint.pointCount = static_cast<int>(points.size());
    joint.faceCount = static_cast<int>(faces.size());
    joint.points = std::shared_ptr<ModelPoint[]>(new ModelPoint[points.size() + 1]());
    for (std::size_t i = 0; i < points.size(); ++i) joint.points[i] = points[i];
    joint.faces = std::shared_ptr<ModelFace[]>(new ModelFace[faces.size() + 1]());
    for (std::size_t i = 0; i < faces.size(); ++i) joint.faces[i] = faces[i];
    std::vector<float> tx, ty, tz, rx, ry, rz;
    for (const JointFrame& f : frames) {
        tx.push_back(f.tx);
        ty.push_back(f.ty);
        tz.push_back(f.tz);
        rx.push_back(f.rx);
        ry.push_back(f.ry);
        rz.push_back(f.rz);
    }
    joint.tx = floats(tx);
    joint.ty = floats(ty);
    joint.tz = floats(tz);
    joint.rx = floats(rx);
    joint.ry = floats(ry);
    joint.rz = floats(rz);
    return joint;
}

// A model made of the given joints, all with `frames` frames.
inline Model makeModel(const std::vector<Joint>& joints, int frames, int framerate = 12) {
    Model model;
    model.numofjoints = static_cast<int>(joints.size());
    model.numofframe = frames;
    model.framerate = framerate;
    model.joints = std::shared_ptr<Joint[]>(new Joint[joints.size() + 1]());
    for (std::size_t i = 0; i < joints.size(); ++i) model.joints[i] = joints[i];
    return model;
}

// Collects the loader's messages for the lifetime of the object.
class CapturedMessages {
public:
    CapturedMessages() { messages().clear(); }
    static std::vector<std::string>& messages() {
        static std::vector<std::string> all;
        return all;
    }
    std::string only() const {
        EXPECT_EQ(messages().size(), 1u);
        return messages().empty() ? std::string() : messages().front();
    }

private:
    base::ScopedReportSink sink_{[](const base::Report& entry) { messages().push_back(entry.text); }};
};

// Every count, point, face, frame value and bound of the two models is equal.
inline void expectSameModel(const Model& a, const Model& b) {
    ASSERT_EQ(a.numofjoints, b.numofjoints);
    ASSERT_EQ(a.numofframe, b.numofframe);
    EXPECT_EQ(a.framerate, b.framerate);
    EXPECT_EQ(a.maxX, b.maxX);
    EXPECT_EQ(a.maxY, b.maxY);
    EXPECT_EQ(a.maxZ, b.maxZ);
    EXPECT_EQ(a.minX, b.minX);
    EXPECT_EQ(a.minY, b.minY);
    EXPECT_EQ(a.minZ, b.minZ);
    for (int j = 0; j < a.numofjoints; ++j) {
        const Joint& ja = a.joints[j];
        const Joint& jb = b.joints[j];
        ASSERT_EQ(ja.pointCount, jb.pointCount) << "joint " << j;
        ASSERT_EQ(ja.faceCount, jb.faceCount) << "joint " << j;
        for (int p = 0; p < ja.pointCount; ++p) {
            EXPECT_EQ(ja.points[p].x, jb.points[p].x);
            EXPECT_EQ(ja.points[p].y, jb.points[p].y);
            EXPECT_EQ(ja.points[p].z, jb.points[p].z);
            EXPECT_EQ(ja.points[p].u, jb.points[p].u);
            EXPECT_EQ(ja.points[p].v, jb.points[p].v);
        }
        for (int k = 0; k < ja.faceCount; ++k) {
            EXPECT_EQ(ja.faces[k].a, jb.faces[k].a);
            EXPECT_EQ(ja.faces[k].b, jb.faces[k].b);
            EXPECT_EQ(ja.faces[k].c, jb.faces[k].c);
        }
        for (int f = 0; f < a.numofframe; ++f) {
            EXPECT_EQ(ja.tx[f], jb.tx[f]);
            EXPECT_EQ(ja.ty[f], jb.ty[f]);
            EXPECT_EQ(ja.tz[f], jb.tz[f]);
            EXPECT_EQ(ja.rx[f], jb.rx[f]);
            EXPECT_EQ(ja.ry[f], jb.ry[f]);
            EXPECT_EQ(ja.rz[f], jb.rz[f]);
        }
        EXPECT_EQ(ja.maxX, jb.maxX);
        EXPECT_EQ(ja.minX, jb.minX);
        EXPECT_EQ(ja.maxY, jb.maxY);
        EXPECT_EQ(ja.minY, jb.minY);
        EXPECT_EQ(ja.maxZ, jb.maxZ);
        EXPECT_EQ(ja.minZ, jb.minZ);
    }
}

}  // namespace model_testing
