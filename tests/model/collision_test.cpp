// Box overlap, contact side and box drawing between placed models; the face-normal pass and
// the instance accessors.
#include "model/collision.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <set>

#include "model/model.h"
#include "tests/model/model_test_support.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_context.h"

using model_testing::makeJoint;
using model_testing::makeModel;

namespace {

Model unitBox(float x, float y, float z) {
    Model model;
    model.minX = model.minY = model.minZ = -1;
    model.maxX = model.maxY = model.maxZ = 1;
    model.setPosition(x, y, z);
    return model;
}

struct Flags {
    bool xPlus, xMinus, yPlus, yMinus, zPlus, zMinus;
};

void expectFlags(const Collision& c, Flags f) {
    EXPECT_EQ(c.sideXPlus, f.xPlus);
    EXPECT_EQ(c.sideXMinus, f.xMinus);
    EXPECT_EQ(c.sideYPlus, f.yPlus);
    EXPECT_EQ(c.sideYMinus, f.yMinus);
    EXPECT_EQ(c.sideZPlus, f.zPlus);
    EXPECT_EQ(c.sideZMinus, f.zMinus);
}

TEST(Collision, OverlapsAlongEachAxisWithTheSideOfTheSecondModel) {
    const Model first = unitBox(0, 0, 0);
    Collision c;

    EXPECT_TRUE(c.test(first, unitBox(1.5f, 0, 0)));
    EXPECT_EQ(c.overlapCount, 3);
    expectFlags(c, {true, false, false, true, false, true});
    EXPECT_EQ(c.contactSide(first, unitBox(1.5f, 0, 0)), 2);

    EXPECT_TRUE(c.test(first, unitBox(-1.5f, 0, 0)));
    expectFlags(c, {false, true, false, true, false, true});
    EXPECT_EQ(c.contactSide(first, unitBox(-1.5f, 0, 0)), 1);

    EXPECT_TRUE(c.test(first, unitBox(0, 1.5f, 0)));
    expectFlags(c, {false, true, true, false, false, true});
    EXPECT_EQ(c.contactSide(first, unitBox(0, 1.5f, 0)), 3);

    EXPECT_TRUE(c.test(first, unitBox(0, -1.5f, 0)));
    EXPECT_EQ(c.contactSide(first, unitBox(0, -1.5f, 0)), 4);

    EXPECT_TRUE(c.test(first, unitBox(0, 0, 1.5f)));
    expectFlags(c, {false, true, false, true, true, false});
    EXPECT_EQ(c.contactSide(first, unitBox(0, 0, 1.5f)), 5);

    EXPECT_TRUE(c.test(first, unitBox(0.2f, 0.3f, -1.5f)));
    expectFlags(c, {true, false, true, false, false, true});
    EXPECT_EQ(c.contactSide(first, unitBox(0.2f, 0.3f, -1.5f)), 6);
}

TEST(Collision, TouchingBoxesMeetAndSeparatedOnesDoNot) {
    const Model first = unitBox(0, 0, 0);
    Collision c;
    EXPECT_TRUE(c.test(first, unitBox(2, 0, 0)));
    EXPECT_TRUE(c.sideXPlus);
    EXPECT_TRUE(c.test(first, unitBox(0, -2, 0)));
    EXPECT_TRUE(c.sideYMinus);

    EXPECT_FALSE(c.test(first, unitBox(2.5f, 0, 0)));
    EXPECT_EQ(c.overlapCount, 2);
    expectFlags(c, {false, false, false, true, false, true});

    EXPECT_FALSE(c.test(first, unitBox(0, 3, -3)));
    EXPECT_EQ(c.overlapCount, 1);
    expectFlags(c, {false, true, false, false, false, false});
}

TEST(Collision, UsesPositionsPlusBoundsAndOnlyTheFacingEdges) {
    Model first = unitBox(10, 0, 0);
    first.minX = -0.5f;
    first.maxX = 3;
    Model second = unitBox(13.9f, 0, 0);
    second.minX = -1;
    second.maxX = 0.1f;
    Collision c;
    EXPECT_TRUE(c.test(first, second));          // 13.9 - 1 = 12.9 <= 10 + 3
    EXPECT_EQ(c.contactSide(first, second), 2);  // x goes 0.1 deep, y and z 2
    second.setPosition(14.1f, 0, 0);
    EXPECT_FALSE(c.test(first, second));
    // Minus side: the second model's maximum against the first's minimum.
    second.setPosition(9.45f, 0, 0);
    EXPECT_TRUE(c.test(first, second));  // 9.45 + 0.1 >= 10 - 0.5
    second.setPosition(9.3f, 0, 0);
    EXPECT_FALSE(c.test(first, second));
}

TEST(Collision, EqualPenetrationsNameNoSide) {
    const Model first = unitBox(0, 0, 0);
    const Model second = unitBox(0, 0, 0);
    Collision c;
    EXPECT_TRUE(c.test(first, second));
    expectFlags(c, {false, true, false, true, false, true});
    EXPECT_EQ(c.contactSide(first, second), 0);
    // Two axes tied for the least penetration.
    const Model diagonal = unitBox(1.5f, 1.5f, 0);
    EXPECT_TRUE(c.test(first, diagonal));
    EXPECT_EQ(c.contactSide(first, diagonal), 0);
}

TEST(Collision, NotANumberNeverMeets) {
    const Model first = unitBox(0, 0, 0);
    Model second = unitBox(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    Collision c;
    EXPECT_FALSE(c.test(first, second));
    EXPECT_EQ(c.overlapCount, 2);
    EXPECT_FALSE(c.sideXPlus);
    EXPECT_FALSE(c.sideXMinus);
}

TEST(Collision, ANewTestClearsTheFlagsOfTheLast) {
    const Model first = unitBox(0, 0, 0);
    Collision c;
    c.test(first, unitBox(1, 1, 1));
    expectFlags(c, {true, false, true, false, true, false});
    c.test(first, unitBox(-1, -1, -1));
    expectFlags(c, {false, true, false, true, false, true});
}

TEST(Collision, DrawsTheBoundsAsTwentyFourCornersAndRestoresState) {
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    gl_feedback::setView();
    Model model;
    model.minX = -1;
    model.maxX = 2;
    model.minY = -3;
    model.maxY = 4;
    model.minZ = -5;
    model.maxZ = 6;
    model.setPosition(100, 100, 100);  // not applied
    glEnable(GL_BLEND);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    Collision c;
    const auto primitives = gl_feedback::record([&] { c.drawBox(model); });
    // The pipeline hands each quad on as two triangles: six faces, in order, each covering
    // its four corners, translucent.
    const float x0 = -1, x1 = 2, y0 = -3, y1 = 4, z0 = -5, z1 = 6;
    const float faces[6][4][3] = {
        {{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}},
        {{x0, y1, z1}, {x1, y1, z1}, {x1, y0, z1}, {x0, y0, z1}},
        {{x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}, {x0, y0, z0}},
        {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
        {{x1, y1, z1}, {x1, y1, z0}, {x1, y0, z0}, {x1, y0, z1}},
        {{x0, y1, z1}, {x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}},
    };
    ASSERT_EQ(primitives.size(), 12u);
    for (int face = 0; face < 6; ++face) {
        std::set<std::array<long, 3>> drawn;
        for (const auto* triangle : {&primitives[2 * face], &primitives[2 * face + 1]}) {
            ASSERT_EQ(triangle->vertices.size(), 3u);
            for (const auto& v : triangle->vertices) {
                drawn.insert({std::lround(v.x), std::lround(v.y), std::lround(v.z)});
                EXPECT_NEAR(v.x, std::round(v.x), 1e-3f);
                EXPECT_NEAR(v.a, 0.5f, 1e-6f);
            }
        }
        std::set<std::array<long, 3>> expected;
        for (const auto& corner : faces[face]) {
            expected.insert({std::lround(corner[0]), std::lround(corner[1]), std::lround(corner[2])});
        }
        EXPECT_EQ(drawn, expected) << "face " << face;
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (const float channel : colour) EXPECT_EQ(channel, 1.0f);
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
}

TEST(FaceNormals, FollowTheCornerOrderAndTurnWithNothingElse) {
    const std::vector<ModelPoint> points = {
        {0, 0, 0, 0.3f, 0.4f}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {2, 0, 0, 0, 0}, {0, 0, 5, 0, 0}};
    Model model = makeModel({makeJoint(points, {{0, 1, 2}, {0, 2, 1}, {0, 1, 3}}, {{9, 9, 9, 45, 45, 45}}),
                             makeJoint(points, {{0, 4, 1}}, {{}})},
                            1);
    model.computeFaceNormals();
    const ModelFace& ccw = model.joints[0].faces[0];
    EXPECT_FLOAT_EQ(ccw.nx, 0);
    EXPECT_FLOAT_EQ(ccw.ny, 0);
    EXPECT_FLOAT_EQ(ccw.nz, 1);
    EXPECT_FLOAT_EQ(model.joints[0].faces[1].nz, -1);
    const ModelFace& degenerate = model.joints[0].faces[2];
    EXPECT_EQ(degenerate.nx, 0);
    EXPECT_EQ(degenerate.ny, 0);
    EXPECT_EQ(degenerate.nz, 0);
    const ModelFace& upward = model.joints[1].faces[0];
    EXPECT_FLOAT_EQ(upward.ny, 1);
    EXPECT_FLOAT_EQ(std::sqrt(upward.nx * upward.nx + upward.ny * upward.ny + upward.nz * upward.nz), 1);
}

TEST(FaceNormals, AModelNeverLoadedIsLeftAlone) {
    Model model;
    model.computeFaceNormals();
    EXPECT_EQ(model.joints, nullptr);
    model.numofjoints = 3;  // a count with no array behind it
    model.computeFaceNormals();
    EXPECT_EQ(model.joints, nullptr);
}

TEST(FaceNormals, HandBuiltFacesWithStrayCornersKeepTheirNormal) {
    Model model = makeModel(
        {makeJoint({{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}}, {{0, 1, 7, 0.5f, 0.5f, 0.5f}}, {{}})}, 1);
    model.computeFaceNormals();
    EXPECT_EQ(model.joints[0].faces[0].nx, 0.5f);
}

TEST(ModelInstance, PositionAccessorsAndWireframeSwitch) {
    Model model;
    EXPECT_EQ(model.getPosX(), 0.0f);
    model.setPosition(1.5f, -2, 3);
    EXPECT_EQ(model.getPosX(), 1.5f);
    EXPECT_EQ(model.getPosY(), -2.0f);
    EXPECT_EQ(model.getPosZ(), 3.0f);
    model.maxX = 4;
    model.minY = -5;
    EXPECT_EQ(model.getMaxX(), 4.0f);
    EXPECT_EQ(model.getMinY(), -5.0f);
    EXPECT_FALSE(model.wireframe);
    model.toggleWireframe();
    EXPECT_TRUE(model.wireframe);
    model.toggleWireframe();
    EXPECT_FALSE(model.wireframe);
}

}  // namespace
