#include "CameraController.h"

#include <algorithm>
#include <cmath>

#include "Vec.h"

using namespace kvx_vector;

namespace {

const float kOrbitDegreesPerPixel = 0.3f;
const float kLookDegreesPerPixel = 0.2f;
const float kMaxPitch = 89.0f;
const float kZoomPerStep = 0.85f;
const float kFlySpeedPerRadius = 0.5f;  // scene radii a second
const float kFastFactor = 4.0f;
// Walking, in scene units taken as metres.
const float kEyeHeight = 1.7f;
const float kBodyRadius = 0.35f;
const float kStepHeight = 0.35f;  // the body sphere floats this high: steps below are climbed
const float kWalkSpeed = 3.0f;
const float kGravity = 9.81f;
const float kGroundProbe = 1000.0f;
const int kCollisionIterations = 4;
// Scenes larger than this many metres across are taken to be in smaller units.
const float kMetreSceneRadius = 150.0f;

}  // namespace

void CameraController::setSceneRadius(float radius) {
    sceneRadius_ = radius;
    walkScale_ = std::max(1.0f, radius / kMetreSceneRadius);
}

void CameraController::lookFrom(const Vertex3D& eye, const Vertex3D& target) {
    eye_ = eye;
    Vertex3D d = sub(target, eye);
    distance_ = std::max(length(d), 1e-4f);
    yaw_ = kvxUnRad(std::atan2(d.y, d.x));
    pitch_ = kvxUnRad(std::asin(std::max(-1.0f, std::min(1.0f, d.z / distance_))));
    pitch_ = std::max(-kMaxPitch, std::min(kMaxPitch, pitch_));
}

Vertex3D CameraController::forward() const {
    float y = kvxRad(yaw_), p = kvxRad(pitch_);
    return vec(std::cos(p) * std::cos(y), std::cos(p) * std::sin(y), std::sin(p));
}

Vertex3D CameraController::pivot() const { return add(eye_, mul(forward(), distance_)); }

void CameraController::orbit(float dx, float dy) {
    Vertex3D center = pivot();
    yaw_ -= dx * kOrbitDegreesPerPixel;
    pitch_ = std::max(-kMaxPitch, std::min(kMaxPitch, pitch_ + dy * kOrbitDegreesPerPixel));
    eye_ = sub(center, mul(forward(), distance_));
}

void CameraController::pan(float dx, float dy, float viewHeight, float fovDegrees) {
    // One pixel moves the pivot by what one pixel covers at its distance.
    float perPixel = 2.0f * distance_ * std::tan(kvxRad(fovDegrees * 0.5f)) / std::max(viewHeight, 1.0f);
    Vertex3D right = normalized(cross(forward(), vec(0, 0, 1)));
    Vertex3D up = cross(right, forward());
    eye_ = add(eye_, add(mul(right, -dx * perPixel), mul(up, dy * perPixel)));
}

void CameraController::zoom(float steps) {
    Vertex3D center = pivot();
    distance_ = std::max(distance_ * std::pow(kZoomPerStep, steps), sceneRadius_ * 1e-3f);
    eye_ = sub(center, mul(forward(), distance_));
}

void CameraController::look(float dx, float dy) {
    yaw_ -= dx * kLookDegreesPerPixel;
    pitch_ = std::max(-kMaxPitch, std::min(kMaxPitch, pitch_ - dy * kLookDegreesPerPixel));
}

void CameraController::setMode(CameraMode mode, OGroup* group) {
    mode_ = mode;
    fallSpeed_ = 0;
    onGround_ = false;
    if (mode == CameraMode::Walk && group && !group->octree) group->constructOctree();
    if (mode == CameraMode::Walk) pitch_ = 0;
}

void CameraController::update(float seconds, const MoveInput& input, OGroup* group) {
    if (mode_ == CameraMode::Fly) fly(seconds, input);
    if (mode_ == CameraMode::Walk) walk(seconds, input, group);
}

void CameraController::fly(float seconds, const MoveInput& in) {
    float speed = sceneRadius_ * kFlySpeedPerRadius * (in.fast ? kFastFactor : 1.0f) * seconds;
    Vertex3D right = normalized(cross(forward(), vec(0, 0, 1)));
    Vertex3D move = add(add(mul(forward(), in.forward), mul(right, in.right)), vec(0, 0, in.up));
    eye_ = add(eye_, mul(move, speed));
}

Vertex3D CameraController::bodyCenter() const {
    return vec(eye_.x, eye_.y, eye_.z + (-kEyeHeight + kStepHeight + kBodyRadius) * walkScale_);
}

// The body is a sphere above the feet: it slides along walls, and the feet
// stand on the highest face below it, falling onto it under gravity.
void CameraController::walk(float seconds, const MoveInput& in, OGroup* group) {
    float y = kvxRad(yaw_);
    Vertex3D ahead = vec(std::cos(y), std::sin(y), 0);
    Vertex3D right = vec(std::sin(y), -std::cos(y), 0);
    Vertex3D step = mul(add(mul(ahead, in.forward), mul(right, in.right)),
                        kWalkSpeed * walkScale_ * (in.fast ? 2.0f : 1.0f) * seconds);
    Vertex3D from = bodyCenter();
    Vertex3D to = add(from, step);
    Vertex3D normal{0, 0, 0};
    if (length(step) > 0)
        kvxCheckCollision(&to, &from, kBodyRadius * walkScale_, group, true, &normal, kCollisionIterations);
    eye_.x = to.x;
    eye_.y = to.y;

    float eyeHeight = kEyeHeight * walkScale_;
    Vertex3D probe = vec(to.x, to.y, to.z - kGroundProbe * walkScale_);
    Vertex3D ground = kvxCheckHeight(&to, &probe, group);
    float feet = eye_.z - eyeHeight;
    if (ground.z == kvxNoHeight) {  // nothing below (or outside the scene): hover
        fallSpeed_ = 0;
        onGround_ = false;
        return;
    }
    fallSpeed_ += kGravity * walkScale_ * seconds;
    feet -= fallSpeed_ * seconds;
    onGround_ = feet <= ground.z;
    if (onGround_) {
        feet = ground.z;
        fallSpeed_ = 0;
    }
    eye_.z = feet + eyeHeight;
}

void CameraController::apply(Camera* camera) const {
    camera->eye = eye_;
    camera->target = add(eye_, mul(forward(), distance_));
    camera->roll = 0;
}
