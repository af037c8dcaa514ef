// Camera moves, turns and the view transform.
#include "engine/camera.h"

#include "gfx/gfx.h"
#include "platform/input.h"

float frameTime = 0.0f;

namespace {
const Vector3 vZero(0.0f, 0.0f, 0.0f);
const Vector3 vView(0.0f, 1.0f, 0.5f);
const Vector3 vUp(0.0f, 0.0f, 1.0f);

bool held(int virtualKey) { return (platform::getKeyState(virtualKey) & 0x80) != 0; }
}  // namespace

// strafeVector starts at zero, as the static instance's would.
Camera::Camera() : position(vZero), view(vView), upVector(vUp), strafeVector(vZero) {}

void Camera::place(float positionX, float positionY, float positionZ, float viewX, float viewY, float viewZ, float upX,
                   float upY, float upZ) {
    const Vector3 vPosition(positionX, positionY, positionZ);
    const Vector3 vNewView(viewX, viewY, viewZ);
    const Vector3 vUpVector(upX, upY, upZ);
    position = vPosition;
    view = vNewView;
    upVector = vUpVector;
}

void Camera::moveAlongView(float speed) {
    const Vector3 vVector = Normalized(view - position);
    position.x += vVector.x * speed;
    position.y += vVector.y * speed;
    position.z += vVector.z * speed;
    view.x += vVector.x * speed;
    view.y += vVector.y * speed;
    view.z += vVector.z * speed;
}

void Camera::strafeSideways(float speed) {
    position.x += strafeVector.x * speed;
    position.z += strafeVector.z * speed;
    view.x += strafeVector.x * speed;
    view.z += strafeVector.z * speed;
}

void Camera::turnView(float angle, float x, float y, float z) {
    const Vector3 vOffset = view - position;
    const float ca = Cosine(angle);
    const float sa = Sine(angle);
    const float k = 1.0f - ca;
    Vector3 vNewView;
    vNewView.x = (ca + k * x * x) * vOffset.x + (k * x * y - z * sa) * vOffset.y + (k * x * z + y * sa) * vOffset.z;
    vNewView.y = (k * x * y + z * sa) * vOffset.x + (ca + k * y * y) * vOffset.y + (k * y * z - x * sa) * vOffset.z;
    vNewView.z = (k * x * z - y * sa) * vOffset.x + (k * y * z + x * sa) * vOffset.y + (ca + k * z * z) * vOffset.z;
    view = position + vNewView;
}

void Camera::mouseLook() {
    // The original's fixed point: not derived from the window size.
    constexpr int middleX = 506;
    constexpr int middleY = 384;
    const platform::Point mousePos = platform::getCursorPos();
    if (mousePos.x == middleX && mousePos.y == middleY) return;
    platform::setCursorPos(middleX, middleY);
    const float yaw = static_cast<float>(middleX - mousePos.x) / 500.0f;
    const float pitch = static_cast<float>(middleY - mousePos.y) / 500.0f;
    const Vector3 vAxis = Normalized(CrossProduct(view - position, upVector));
    turnView(pitch, vAxis.x, vAxis.y, vAxis.z);
    turnView(yaw, 0.0f, 1.0f, 0.0f);
}

void Camera::pollMovementKeys() {
    // Nothing in the show sets frameTime, so the step is 0 and held keys move nothing here
    // (the timeline steps W, S, A, D itself); only a direction that is not finite shows, as
    // 0 * NaN makes the camera NaN: forward with the view on the position, sideways along up.
    const float step = 100.0f * frameTime;
    if (held(platform::VK_UP) || held(platform::characterKey('W'))) moveAlongView(step);
    if (held(platform::VK_DOWN) || held(platform::characterKey('S'))) moveAlongView(-step);
    if (held(platform::VK_LEFT) || held(platform::characterKey('A'))) strafeSideways(-step);
    if (held(platform::VK_RIGHT) || held(platform::characterKey('D'))) strafeSideways(step);
}

void Camera::updateCamera() {
    const Vector3 vCross = CrossProduct(view - position, upVector);
    strafeVector = Normalized(vCross);
    pollMovementKeys();
}

void Camera::applyLookAt() const {
    gfx::lookAt(position.x, position.y, position.z, view.x, view.y, view.z, upVector.x, upVector.y, upVector.z);
}
