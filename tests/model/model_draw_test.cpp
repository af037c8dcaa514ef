// Frame stepping and drawing of jointed models, read back from a real offscreen GL context
// through feedback mode.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "model/model.h"
#include "platform/clock.h"
#include "tests/model/model_test_support.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/temp_dir.h"

using gl_feedback::Primitive;
using gl_feedback::Vertex;
using model_testing::JointFrame;
using model_testing::makeJoint;
using model_testing::makeModel;

// Counts heap allocations, to check that drawing makes none. Every plain and nothrow form is
// replaced so that all of them pair with the same free. Kept out of line so that the
// compiler does not pair the replaced operators with malloc and free at call sites.
namespace {
std::atomic<long> heapAllocations{0};
void* countedAllocation(std::size_t size) noexcept {
    ++heapAllocations;
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace
__attribute__((noinline)) void* operator new(std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void* operator new[](std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

const std::vector<ModelPoint> kTrianglePoints = {
    {0, 1, 0, 0.25f, 0.75f},
    {1, 1, 0, 1, 0},
    {0, 1, 1, 0, 1},
};
const ModelFace kTriangleFace = {0, 1, 2, 0, -1, 0};

Model triangleModel(const std::vector<JointFrame>& frames, int framerate = 12) {
    return makeModel({makeJoint(kTrianglePoints, {kTriangleFace}, frames)}, static_cast<int>(frames.size()), framerate);
}

void expectAt(const Vertex& v, float x, float y, float z, float tolerance = 2e-3f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

class ModelDraw : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        gl_feedback::setView();
        platform::useVirtualClock(1000);
    }
    void TearDown() override { platform::useRealClock(); }

    testing_support::GlTestContext gl;
};

TEST_F(ModelDraw, StepPeriodIsTheTruncatedMillisecondsPerFrame) {
    Model model = triangleModel({{}, {}, {}}, 12);
    model.lastStepTick = 1000;
    platform::setVirtualTick(1083);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_EQ(model.nowTick, 1083);
    EXPECT_EQ(model.lastStepTick, 1000);
    platform::setVirtualTick(1084);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
    EXPECT_EQ(model.lastStepTick, 1084);
    // The next period counts from the call that stepped.
    platform::setVirtualTick(1084 + 83);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
    platform::setVirtualTick(1084 + 84);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 2);
    platform::advanceVirtualClock(84);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 0);
    platform::advanceVirtualClock(84);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
}

TEST_F(ModelDraw, ALateCallStepsOneFrameAndPauseHoldsEverything) {
    Model model = triangleModel({{}, {}, {}});
    model.lastStepTick = 1000;
    platform::setVirtualTick(9000);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
    EXPECT_EQ(model.lastStepTick, 9000);

    model.paused = true;
    for (int i = 0; i < 5; ++i) {
        platform::advanceVirtualClock(1000);
        model.draw(-1);
    }
    EXPECT_EQ(model.currentFrame, 1);
    EXPECT_EQ(model.nowTick, 9000);
    EXPECT_EQ(model.lastStepTick, 9000);
    model.paused = false;
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 2);
}

TEST_F(ModelDraw, StepSurvivesTheTickCountWrapping) {
    Model model = triangleModel({{}, {}});
    model.lastStepTick = static_cast<int>(0xFFFFFFD0u);
    platform::setVirtualTick(0x20);  // 80 ms later
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 0);
    platform::setVirtualTick(0x24);  // 84 ms later
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
    EXPECT_EQ(model.lastStepTick, 0x24);
}

TEST_F(ModelDraw, FramerateAbove1000StepsEveryMillisecondAndBelowOneStandsStill) {
    Model fast = triangleModel({{}, {}}, 2000);
    fast.lastStepTick = 1000;
    fast.draw(-1);
    EXPECT_EQ(fast.currentFrame, 0);
    platform::advanceVirtualClock(1);
    fast.draw(-1);
    EXPECT_EQ(fast.currentFrame, 1);

    for (const int framerate : {0, -5}) {
        Model still = triangleModel({{}, {}}, framerate);
        platform::advanceVirtualClock(5000);
        still.draw(-1);
        EXPECT_EQ(still.currentFrame, 0);
        EXPECT_EQ(still.nowTick, static_cast<int>(platform::tickCount()));
    }
}

TEST_F(ModelDraw, JointsWithoutFramesAreDrawnInTheirOwnCoordinates) {
    Model model = triangleModel({{5, 5, 5, 90, 0, 0}});
    model.numofframe = 0;
    platform::advanceVirtualClock(1000);
    const auto primitives = gl_feedback::record([&] { model.draw(-1); });
    EXPECT_EQ(model.currentFrame, 0);
    ASSERT_EQ(primitives.size(), 1u);
    expectAt(primitives[0].vertices[0], 0, 1, 0);

    // A frame index the caller set out of range draws untransformed too, and the next step
    // brings it back to the first frame.
    model.numofframe = 1;
    model.currentFrame = 4;
    model.paused = true;
    expectAt(gl_feedback::record([&] { model.draw(-1); })[0].vertices[0], 0, 1, 0);
    model.paused = false;
    platform::advanceVirtualClock(1000);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 0);
}

TEST_F(ModelDraw, FirstDrawMoreThanAPeriodAfterLoadingSteps) {
    testing_support::TempWorkingDir dir;
    testing_support::writeFileBytes("m.txt", "m\nnumofjoints 0\nnumofframe 2\nframerate 12\n{\n}\n{\n}\n");
    Model model;
    model.load("m.txt");
    EXPECT_EQ(model.lastStepTick, 1000);
    platform::setVirtualTick(1084);
    model.draw(-1);
    EXPECT_EQ(model.currentFrame, 1);
}

TEST_F(ModelDraw, JointTransformIsTranslateThenRotateAboutXYZ) {
    Model model = triangleModel({{0, 0, 0, 90, 0, 0}, {5, 0, 0, 90, 0, 0}, {1, 2, 3, 90, 90, 90}});
    model.paused = true;
    auto primitives = gl_feedback::record([&] { model.draw(-1); });
    ASSERT_EQ(primitives.size(), 1u);
    ASSERT_EQ(primitives[0].kind, Primitive::Polygon);
    ASSERT_EQ(primitives[0].vertices.size(), 3u);
    expectAt(primitives[0].vertices[0], 0, 0, 1);
    expectAt(primitives[0].vertices[1], 1, 0, 1);
    expectAt(primitives[0].vertices[2], 0, -1, 1);

    model.currentFrame = 1;
    primitives = gl_feedback::record([&] { model.draw(-1); });
    expectAt(primitives[0].vertices[0], 5, 0, 1);

    // T · Rx · Ry · Rz: (0,1,0) turns to (-1,0,0) about z, (0,0,1) about y, (0,-1,0) about x.
    model.currentFrame = 2;
    primitives = gl_feedback::record([&] { model.draw(-1); });
    expectAt(primitives[0].vertices[0], 1, 1, 3);
}

TEST_F(ModelDraw, EveryJointStandsOnTheCallersMatrixAndTheMatrixIsLeftAsFound) {
    const Joint moved = makeJoint(kTrianglePoints, {kTriangleFace}, {{0.3f, -4, 7, 37.3f, -123.7f, 271.9f}});
    const Joint still = makeJoint({{1, 1, 1, 0, 0}, {2, 1, 1, 0, 0}, {1, 2, 1, 0, 0}}, {{0, 1, 2}}, {{}});
    Model model = makeModel({moved, still, moved}, 1);
    model.computeFaceNormals();
    model.paused = true;

    glTranslatef(1, 2, -1);
    auto primitives = gl_feedback::record([&] { model.draw(-1); });
    ASSERT_EQ(primitives.size(), 3u);
    expectAt(primitives[1].vertices[0], 2, 3, 0);

    glLoadIdentity();
    glTranslatef(0.5f, -2, 3);
    glRotatef(33, 1, 1, 0);
    glScalef(1, 2, 0.5f);
    const std::vector<float> before = gl_feedback::modelview();
    model.draw(-1);
    model.draw(0);
    model.drawNormals();
    const std::vector<float> after = gl_feedback::modelview();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(after[i], before[i], 1e-5f) << "element " << i;
}

TEST_F(ModelDraw, FacesCarryTheirNormalTextureCoordinatesAndWhite) {
    Model model = triangleModel({{}});
    model.joints[0].faces[0].nx = 0.6f;
    model.joints[0].faces[0].ny = 0.0f;
    model.joints[0].faces[0].nz = 0.8f;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    model.texture = texture;
    glColor3f(0.2f, 0.3f, 0.4f);
    glBindTexture(GL_TEXTURE_2D, 0);
    const auto primitives = gl_feedback::record([&] { model.draw(-1); });
    ASSERT_EQ(primitives.size(), 1u);
    const auto& v = primitives[0].vertices;
    ASSERT_EQ(v.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(v[i].s, kTrianglePoints[i].u, 1e-6f);
        EXPECT_NEAR(v[i].t, kTrianglePoints[i].v, 1e-6f);
        EXPECT_EQ(v[i].r, 1.0f);
        EXPECT_EQ(v[i].g, 1.0f);
        EXPECT_EQ(v[i].b, 1.0f);
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    float normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[0], 0.6f);
    EXPECT_FLOAT_EQ(normal[2], 0.8f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelDraw, WireframeIsOneClosedLineThroughAllCornersOfAJoint) {
    const std::vector<ModelPoint> square = {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {0, 1, 0, 0, 0}};
    Model model = makeModel({makeJoint(square, {{0, 1, 2}, {0, 2, 3}}, {{}})}, 1);
    model.paused = true;
    model.toggleWireframe();
    const auto primitives = gl_feedback::record([&] { model.draw(-1); });
    // Six corners in face order, closed: six segments.
    ASSERT_EQ(primitives.size(), 6u);
    const int order[7] = {0, 1, 2, 0, 2, 3, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(primitives[i].kind == Primitive::Line || primitives[i].kind == Primitive::LineReset);
        const ModelPoint& from = square[order[i]];
        const ModelPoint& to = square[order[i + 1]];
        expectAt(primitives[i].vertices[0], from.x, from.y, from.z);
        expectAt(primitives[i].vertices[1], to.x, to.y, to.z);
    }
    model.toggleWireframe();
    EXPECT_FALSE(model.wireframe);
    EXPECT_EQ(gl_feedback::record([&] { model.draw(-1); }).size(), 2u);
}

TEST_F(ModelDraw, OneJointOrNoneStillStepsAndNormalsNeverStep) {
    const Joint a = makeJoint(kTrianglePoints, {kTriangleFace}, {{0, 0, 0, 0, 0, 0}, {}});
    const Joint b = makeJoint({{3, 3, 3, 0, 0}, {4, 3, 3, 0, 0}, {3, 4, 3, 0, 0}}, {{0, 1, 2}}, {{}, {}});
    Model model = makeModel({a, b, a}, 2);
    model.lastStepTick = 1000;

    platform::setVirtualTick(1100);
    auto primitives = gl_feedback::record([&] { model.draw(1); });
    EXPECT_EQ(model.currentFrame, 1);
    ASSERT_EQ(primitives.size(), 1u);
    expectAt(primitives[0].vertices[0], 3, 3, 3);

    for (const int index : {3, -2, 1000}) {
        platform::advanceVirtualClock(100);
        const int frame = model.currentFrame;
        EXPECT_TRUE(gl_feedback::record([&] { model.draw(index); }).empty()) << index;
        EXPECT_NE(model.currentFrame, frame);
    }

    platform::advanceVirtualClock(1000);
    const int frame = model.currentFrame;
    const int now = model.nowTick;
    model.drawNormals();
    EXPECT_EQ(model.currentFrame, frame);
    EXPECT_EQ(model.nowTick, now);

    Model empty;
    empty.framerate = 12;
    platform::advanceVirtualClock(1000);
    EXPECT_TRUE(gl_feedback::record([&] { empty.draw(-1); }).empty());
    EXPECT_EQ(empty.nowTick, static_cast<int>(platform::tickCount()));
    EXPECT_EQ(empty.lastStepTick, empty.nowTick);
    EXPECT_TRUE(gl_feedback::record([&] { empty.drawNormals(); }).empty());
}

TEST_F(ModelDraw, NormalsAreUnitLinesFromTheFaceCentreRedToBlue) {
    Model model = triangleModel({{0, 0, 0, 90, 0, 0}});
    model.computeFaceNormals();
    model.paused = true;
    const auto primitives = gl_feedback::record([&] { model.drawNormals(); });
    ASSERT_EQ(primitives.size(), 1u);
    const Vertex& centre = primitives[0].vertices[0];
    const Vertex& tip = primitives[0].vertices[1];
    // Centre (1/3, 1, 1/3) and normal (0, -1, 0) in the joint, turned 90 degrees about x.
    expectAt(centre, 1.0f / 3, -1.0f / 3, 1);
    expectAt(tip, 1.0f / 3, -1.0f / 3, 0);
    EXPECT_EQ(centre.r, 1.0f);
    EXPECT_EQ(centre.b, 0.0f);
    EXPECT_EQ(tip.r, 0.0f);
    EXPECT_EQ(tip.b, 1.0f);
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[0], 0.0f);
}

TEST_F(ModelDraw, HandBuiltFacesWithStrayCornersAreSkipped) {
    Model model = makeModel({makeJoint(kTrianglePoints, {{0, 1, 5}, kTriangleFace, {-1, 0, 1}}, {{}})}, 1);
    model.paused = true;
    EXPECT_EQ(gl_feedback::record([&] { model.draw(-1); }).size(), 1u);
    EXPECT_EQ(gl_feedback::record([&] { model.drawNormals(); }).size(), 1u);
}

TEST_F(ModelDraw, DrawingAllocatesNothing) {
    Model model = triangleModel({{1, 2, 3, 10, 20, 30}, {}});
    model.computeFaceNormals();
    model.wireframe = true;
    const auto drawSome = [&] {
        for (int i = 0; i < 10; ++i) {
            platform::advanceVirtualClock(100);
            model.draw(-1);
            model.draw(0);
            model.drawNormals();
        }
    };
    drawSome();  // the GL driver compiles its pipeline (C++, counted here) on first use
    const long before = heapAllocations.load();
    drawSome();
    EXPECT_EQ(heapAllocations.load(), before);
}

}  // namespace
