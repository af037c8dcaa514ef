#include "engine/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/input.h"
#include "tests/support/gl_test_context.h"

namespace {

void expectVector(Vector3 v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::releaseAllKeys();
        frameTime = 0.0f;
        camera.place(0, 0, 0, 0, 0, -10, 0, 1, 0);
    }
    void TearDown() override {
        platform::releaseAllKeys();
        frameTime = 0.0f;
    }
    Camera camera;
};

TEST(CameraConstruction, StartsAtTheOriginLookingAlongYWithZUp) {
    const Camera fresh;
    expectVector(fresh.getPosition(), 0, 0, 0);
    expectVector(fresh.getView(), 0, 1, 0.5f);
    expectVector(fresh.upVector, 0, 0, 1);
    expectVector(fresh.strafeVector, 0, 0, 0);
}

TEST_F(CameraTest, PlaceLeavesTheStrafeVectorAlone) {
    camera.strafeVector = Vector3(0.25f, 0, 0.5f);
    camera.place(1, 2, 3, 4, 5, 6, 7, 8, 9);
    expectVector(camera.getPosition(), 1, 2, 3);
    expectVector(camera.getView(), 4, 5, 6);
    expectVector(camera.upVector, 7, 8, 9);
    expectVector(camera.strafeVector, 0.25f, 0, 0.5f);
}

TEST_F(CameraTest, MoveAlongViewMovesBothPointsAndReturns) {
    camera.moveAlongView(2);
    expectVector(camera.getPosition(), 0, 0, -2);
    expectVector(camera.getView(), 0, 0, -12);
    camera.moveAlongView(-2);
    expectVector(camera.getPosition(), 0, 0, 0);
    expectVector(camera.getView(), 0, 0, -10);

    // Looking down, moving forward also descends.
    camera.place(0, 10, 0, 0, 0, -10, 0, 1, 0);
    camera.moveAlongView(std::sqrt(2.0f));
    expectVector(camera.getPosition(), 0, 9, -1);
}

TEST_F(CameraTest, StrafeUsesTheLastUpdatedVectorInXAndZOnly) {
    // Before any update the strafe vector is zero: a sideways step moves nothing.
    camera.strafeSideways(0.5f);
    expectVector(camera.getPosition(), 0, 0, 0);

    camera.updateCamera();
    expectVector(camera.strafeVector, 1, 0, 0);
    camera.strafeSideways(0.5f);
    expectVector(camera.getPosition(), 0.5f, 0, 0);
    expectVector(camera.getView(), 0.5f, 0, -10);

    camera.strafeVector = Vector3(0.6f, 0.8f, 0);
    camera.strafeSideways(1.0f);
    expectVector(camera.getPosition(), 1.1f, 0, 0);
    expectVector(camera.getView(), 1.1f, 0, -10);
}

TEST_F(CameraTest, TurnViewIsARightHandedRotationAboutThePosition) {
    camera.turnView(3.14159265f / 2, 0, 1, 0);
    expectVector(camera.getView(), -10, 0, 0, 1e-4f);
    expectVector(camera.getPosition(), 0, 0, 0);

    // About the x axis, from a camera away from the origin.
    camera.place(1, 1, 1, 1, 1, -9, 0, 1, 0);
    camera.turnView(3.14159265f / 2, 1, 0, 0);
    expectVector(camera.getView(), 1, 11, 1, 1e-4f);
}

TEST_F(CameraTest, MouseLookRecentresTheCursorAndTurns) {
    platform::setCursorPos(506, 384);
    camera.mouseLook();
    expectVector(camera.getView(), 0, 0, -10);

    platform::setCursorPos(406, 384);
    camera.mouseLook();
    const platform::Point cursor = platform::getCursorPos();
    EXPECT_EQ(cursor.x, 506);
    EXPECT_EQ(cursor.y, 384);
    // 0.2 radians to the left.
    expectVector(camera.getView(), -10 * std::sin(0.2f), 0, -10 * std::cos(0.2f), 1e-4f);

    // Moving the cursor up raises the view.
    camera.place(0, 0, 0, 0, 0, -10, 0, 1, 0);
    platform::setCursorPos(506, 334);
    camera.mouseLook();
    EXPECT_GT(camera.getView().y, 0.9f);
}

TEST_F(CameraTest, PolledKeysMoveByFrameTime) {
    platform::setKeyHeld(platform::characterKey('W'), true);
    platform::setKeyHeld(platform::VK_LEFT, true);
    camera.updateCamera();
    expectVector(camera.getPosition(), 0, 0, 0);  // frameTime 0: no step

    frameTime = 0.01f;
    camera.updateCamera();
    expectVector(camera.getPosition(), -1, 0, -1);

    platform::setKeyHeld(platform::characterKey('S'), true);
    platform::setKeyHeld(platform::VK_RIGHT, true);
    camera.updateCamera();
    expectVector(camera.getPosition(), -1, 0, -1);
}

// frameTime 0, as in the show: the zero step still multiplies the direction.
TEST_F(CameraTest, AZeroStepMovesNothingButADirectionThatIsNotFinite) {
    platform::setKeyHeld(platform::characterKey('W'), true);
    platform::setKeyHeld(platform::characterKey('D'), true);
    camera.place(1, 2, 3, 4, 6, 3, 0, 1, 0);
    camera.updateCamera();
    expectVector(camera.getPosition(), 1, 2, 3, 0);
    expectVector(camera.getView(), 4, 6, 3, 0);

    platform::releaseAllKeys();
    platform::setKeyHeld(platform::characterKey('D'), true);
    camera.place(1, 2, 3, 1, 7, 3, 0, 1, 0);  // looking along up: no sideways direction
    camera.updateCamera();
    EXPECT_TRUE(std::isnan(camera.getPosition().x));
    EXPECT_EQ(camera.getPosition().y, 2.0f);  // a sideways step leaves y alone

    platform::releaseAllKeys();
    platform::setKeyHeld(platform::characterKey('W'), true);
    camera.place(1, 2, 3, 1, 2, 3, 0, 1, 0);  // the view on the position
    camera.updateCamera();
    EXPECT_TRUE(std::isnan(camera.getPosition().y));
}

TEST(CameraView, ApplyLookAtPassesPositionViewAndUp) {
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    Camera camera;
    camera.place(0, 0, 5, 0, 0, 0, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.applyLookAt();
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Looking down -z from z = 5: identity rotation, translation (0, 0, -5).
    EXPECT_NEAR(m[0], 1, 1e-6);
    EXPECT_NEAR(m[5], 1, 1e-6);
    EXPECT_NEAR(m[10], 1, 1e-6);
    EXPECT_NEAR(m[14], -5, 1e-6);

    camera.place(0, 0, 0, 1, 0, 0, 0, 0, 1);
    glLoadIdentity();
    camera.applyLookAt();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Up (0, 0, 1) becomes the eye's y: the second row is (0, 0, 1).
    EXPECT_NEAR(m[1], 0, 1e-6);
    EXPECT_NEAR(m[9], 1, 1e-6);
}

}  // namespace
