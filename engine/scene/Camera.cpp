#include "scene/Camera.h"

#include <cmath>

#include "core/Math.h"

namespace {
// Fit of the field of view in degrees to a lens in millimetres.
const double kFovA = 0.046432316;
const double kFovB = -4.9570117;
const double kFovC = 178.1292;
// The fit turns upward past its minimum near 53 mm: longer lenses take the
// pinhole angle 2·atan(k / L), with k chosen to meet the fit at this lens.
const double kFitLongestLens = 50.0;

double fittedFov(double lens) { return kFovA * lens * lens + kFovB * lens + kFovC; }

double pinholeFov(double lens) {
    static const double k = kFitLongestLens * std::tan(kvxRad(float(fittedFov(kFitLongestLens) / 2)));
    return 2.0 * kvxUnRad(float(std::atan(k / lens)));
}
}  // namespace

Camera::Camera() : eye{0, 0, 0}, target{0, 0, 0}, roll(0.0f), lens(0.0f), fov(90.0f) { visible = true; }

void Camera::calcFOV() {
    double l = lens > 0.0f ? lens : 0.0;
    fov = static_cast<float>(l <= kFitLongestLens ? fittedFov(l) : pinholeFov(l));
}

Vertex3D Camera::getPosition() { return eye; }

void Camera::moveTo(float x, float y, float z) { eye = {x, y, z}; }

void Camera::moveTo(float ex, float ey, float ez, float tx, float ty, float tz) {
    eye = {ex, ey, ez};
    target = {tx, ty, tz};
}

void Camera::moveBy(float dx, float dy, float dz) {
    eye.x += dx;
    eye.y += dy;
    eye.z += dz;
}

void Camera::moveBy(float ex, float ey, float ez, float tx, float ty, float tz) {
    moveBy(ex, ey, ez);
    target.x += tx;
    target.y += ty;
    target.z += tz;
}

// Unit movement direction: heading 0 along +y, tilt 0 straight down.
Vertex3D Camera::direction() const {
    double h = kvxRad(rotation.x);
    double p = kvxRad(rotation.y);
    return {static_cast<float>(-sin(h) * sin(p)), static_cast<float>(cos(h) * sin(p)), static_cast<float>(-cos(p))};
}

void Camera::forward(float d) {
    Vertex3D v = direction();
    eye.x += v.x * d;
    eye.y += v.y * d;
    eye.z += v.z * d;
}

void Camera::reverse(float d) { forward(-d); }

// Sideways step a quarter turn left of the heading, scaled by sin(tilt).
void Camera::step(float d) {
    double h = kvxRad(rotation.x + 90.0f);
    double sp = sin(kvxRad(rotation.y));
    eye.x = static_cast<float>(eye.x - sin(h) * sp * d);
    eye.y = static_cast<float>(eye.y + cos(h) * sp * d);
}

void Camera::stepLeft(float d) { step(d); }

void Camera::stepRight(float d) { step(-d); }

void Camera::targetFromRotation(float d) {
    Vertex3D v = direction();
    target = {eye.x + v.x * d, eye.y + v.y * d, eye.z + v.z * d};
}

void Camera::rotationFromTarget() {
    Vertex2D a = {eye.x, eye.y};
    Vertex2D b = {target.x, target.y};
    float heading = kvxAngle(&a, &b);
    float s = kvxDistance(&a, &b);
    Vertex2D a2 = {0.0f, eye.z};
    Vertex2D b2 = {s, target.z};
    rotation.x = heading;
    rotation.y = kvxAngle(&a2, &b2);
}

Object* Camera::copyObject() { return new Camera(*this); }
