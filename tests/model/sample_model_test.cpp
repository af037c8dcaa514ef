// The sample model in examples/models: it loads, its normals are sound, and its walk keeps
// the figure standing on the ground.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "model/model.h"
#include "tests/model/model_test_support.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kModels = OYUN_SAMPLE_MODELS;

class SampleModel : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(model.loadFile((kModels + "/walker.txt").c_str())); }

    testing_support::TempWorkingDir dir;
    model_testing::CapturedMessages messages;
    Model model;
};

TEST_F(SampleModel, LoadsWithItsJointsFramesAndBounds) {
    EXPECT_TRUE(model_testing::CapturedMessages::messages().empty());
    EXPECT_EQ(model.numofjoints, 8);
    EXPECT_GE(model.numofframe, 8);
    EXPECT_EQ(model.framerate, 12);
    float maxY = 0, minY = 0;
    for (int j = 0; j < model.numofjoints; ++j) {
        const Joint& joint = model.joints[j];
        EXPECT_GT(joint.pointCount, 0);
        EXPECT_GT(joint.faceCount, 0);
        EXPECT_LE(joint.minX, 0.0f);
        EXPECT_GE(joint.maxX, 0.0f);
        EXPECT_LE(joint.minY, 0.0f);
        EXPECT_GE(joint.maxY, 0.0f);
        maxY = std::max(maxY, joint.maxY);
        minY = std::min(minY, joint.minY);
        for (int p = 0; p < joint.pointCount; ++p) {
            EXPECT_GE(joint.points[p].u, 0.0f);
            EXPECT_LE(joint.points[p].u, 1.0f);
            EXPECT_GE(joint.points[p].v, 0.0f);
            EXPECT_LE(joint.points[p].v, 1.0f);
        }
    }
    EXPECT_EQ(model.maxY, maxY);
    EXPECT_EQ(model.minY, minY);
    EXPECT_GT(model.maxX, 0.0f);
    EXPECT_LT(model.minZ, 0.0f);
}

TEST_F(SampleModel, EveryFaceGetsAUnitNormal) {
    model.computeFaceNormals();
    for (int j = 0; j < model.numofjoints; ++j) {
        const Joint& joint = model.joints[j];
        for (int k = 0; k < joint.faceCount; ++k) {
            const ModelFace& f = joint.faces[k];
            EXPECT_NEAR(std::sqrt(f.nx * f.nx + f.ny * f.ny + f.nz * f.nz), 1.0f, 1e-5f) << j << "/" << k;
        }
    }
}

TEST_F(SampleModel, TheWalkStandsOnTheGroundAndMoves) {
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    gl_feedback::setView();
    model.computeFaceNormals();
    model.paused = true;
    std::vector<std::vector<gl_feedback::Vertex>> frames;
    for (int f = 0; f < model.numofframe; ++f) {
        model.currentFrame = f;
        std::vector<gl_feedback::Vertex> vertices;
        for (const auto& primitive : gl_feedback::record([&] { model.draw(-1); })) {
            vertices.insert(vertices.end(), primitive.vertices.begin(), primitive.vertices.end());
        }
        ASSERT_FALSE(vertices.empty());
        float lowest = 100, highest = -100;
        for (const auto& v : vertices) {
            lowest = std::min(lowest, v.y);
            highest = std::max(highest, v.y);
        }
        EXPECT_NEAR(lowest, 0.0f, 0.12f) << "frame " << f;
        EXPECT_GT(highest, 3.5f) << "frame " << f;
        EXPECT_LT(highest, 4.2f) << "frame " << f;
        frames.push_back(vertices);
    }
    // A quarter of the walk later the limbs are elsewhere.
    const auto& first = frames[0];
    const auto& later = frames[static_cast<std::size_t>(model.numofframe / 4)];
    ASSERT_EQ(first.size(), later.size());
    float moved = 0;
    for (std::size_t i = 0; i < first.size(); ++i) moved = std::max(moved, std::fabs(first[i].z - later[i].z));
    EXPECT_GT(moved, 0.3f);
}

TEST(SampleTexture, IsAnUncompressedTgaOfPowerOfTwoSize) {
    const std::string bytes = testing_support::readFileBytes(kModels + "/walker.tga");
    ASSERT_GE(bytes.size(), 18u);
    EXPECT_EQ(bytes.substr(0, 12), std::string("\0\0\2\0\0\0\0\0\0\0\0\0", 12));
    const auto byte = [&](int i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    const unsigned width = byte(12) + 256 * byte(13);
    const unsigned height = byte(14) + 256 * byte(15);
    const unsigned depth = byte(16);
    EXPECT_TRUE(width >= 16 && (width & (width - 1)) == 0) << width;
    EXPECT_TRUE(height >= 16 && (height & (height - 1)) == 0) << height;
    EXPECT_TRUE(depth == 24 || depth == 32);
    EXPECT_EQ(bytes.size(), 18u + width * height * depth / 8);
}

}  // namespace
