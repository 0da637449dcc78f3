#include "core/Types.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/VectorOps.h"

// Vertex3D arithmetic runs at double precision and is stored back as float.

Vertex3D Vertex3D::operator+(Vertex3D& o) {
    return Vertex3D{float(double(x) + o.x), float(double(y) + o.y), float(double(z) + o.z)};
}

Vertex3D Vertex3D::operator-(Vertex3D& o) {
    return Vertex3D{float(double(x) - o.x), float(double(y) - o.y), float(double(z) - o.z)};
}

Vertex3D Vertex3D::operator-() { return Vertex3D{-x, -y, -z}; }

Vertex3D& Vertex3D::operator+=(Vertex3D& o) {
    x = float(double(x) + o.x);
    y = float(double(y) + o.y);
    z = float(double(z) + o.z);
    return *this;
}

Vertex3D& Vertex3D::operator-=(Vertex3D& o) {
    x = float(double(x) - o.x);
    y = float(double(y) - o.y);
    z = float(double(z) - o.z);
    return *this;
}

Vertex3D Vertex3D::operator^(Vertex3D& o) {
    return Vertex3D{float(double(y) * o.z - double(o.y) * z), float(double(o.x) * z - double(x) * o.z),
                    float(double(x) * o.y - double(y) * o.x)};
}

float Vertex3D::operator*(Vertex3D& o) { return float(double(x) * o.x + double(y) * o.y + double(z) * o.z); }

void Vertex3D::operator*=(float f) {
    x = float(double(x) * f);
    y = float(double(y) * f);
    z = float(double(z) * f);
}

void Vertex3D::operator/=(float f) {
    x = float(double(x) / f);
    y = float(double(y) / f);
    z = float(double(z) / f);
}

Vertex3D::operator float() { return float(std::sqrt(double(x) * x + double(y) * y + double(z) * z)); }

void Vertex3D::normalize() { *this = kvx_vector::unit(*this); }

void Viewport::reset() {
    zNear = 0.01f;
    zFar = 100000.0f;
    fov = 90.0f;
}

void Viewport::calcAspect() { aspect = width / height; }

void Cube::setValues(float ax1, float ay1, float az1, float ax2, float ay2, float az2) {
    x1 = ax1;
    y1 = ay1;
    z1 = az1;
    x2 = ax2;
    y2 = ay2;
    z2 = az2;
}

Plane::Plane() : visited(false), points(nullptr), count(0), normal{}, origin{}, planeId(0), next(nullptr) {}

Plane::~Plane() {
    // Unlink iteratively so that very long lists cannot exhaust the stack.
    Plane* p = next;
    next = nullptr;
    while (p) {
        Plane* n = p->next;
        p->next = nullptr;
        delete p;
        p = n;
    }
    free(points);
}

void Plane::create(int n) {
    free(points);  // a second create must not leak the first array
    count = n;
    points = static_cast<PlaneList*>(malloc(sizeof(PlaneList) * (n > 0 ? n : 1)));
}

SceneParams::SceneParams() {
    std::memset(value, 0, sizeof(value));
    value[2] = 15;
    for (bool& f : flagA) f = false;
    for (bool& f : flagB) f = true;
}
