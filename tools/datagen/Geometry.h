#pragma once
// Mesh construction helpers and a scene builder that gives every object the
// keyframer node the engine needs to place it.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Scene3ds.h"

using k3ds::Vec2;
using k3ds::Vec3;

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(const Vec3& a, float k);
Vec3 cross(const Vec3& a, const Vec3& b);
float dot(const Vec3& a, const Vec3& b);
float length(const Vec3& a);
Vec3 normalize(const Vec3& a);

// Rigid placement: rotation rows and a translation.
struct Placement {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;
    static Placement at(const Vec3& p);
    static Placement rotation(const Vec3& axis, float radians);
    Placement then(const Placement& outer) const;  // apply this, then outer
    Vec3 apply(const Vec3& p) const;
};

// Smoothing-group values: faces with equal values share vertex normals.
constexpr uint32_t kSmooth = 1;

class MeshBuilder {
public:
    explicit MeshBuilder(std::string name) { mesh_.name = std::move(name); }

    void place(const Placement& p) { place_ = p; }
    int vertex(const Vec3& p, const Vec2& uv);
    // Edge flags follow the wire renderer: 1 = c-a, 2 = a-b, 4 = b-c.
    void tri(int a, int b, int c, const std::string& material, uint32_t smooth, uint16_t flags = 7);
    // Quad a-b-c-d split along a-c with the diagonal hidden from wire drawing.
    void quad(int a, int b, int c, int d, const std::string& material, uint32_t smooth);

    // A (u x v) patch over a parametric surface; uv runs 0..uScale, 0..vScale.
    void surface(int nu, int nv, const std::function<Vec3(float, float)>& f, const std::string& material,
                 uint32_t smooth, float uScale = 1, float vScale = 1, bool flip = false);
    // Flat-faced box, every side its own smoothing group; uv scaled by size / uvUnit.
    void box(const Vec3& centre, const Vec3& size, const std::string& material, float uvUnit, int divisions = 1);
    void cylinder(const Vec3& base, float radius, float height, int segments, const std::string& material, bool caps,
                  float uRepeat = 1, float vRepeat = 1);
    void torus(const Vec3& centre, float major, float minor, int segU, int segV, const std::string& material,
               float uRepeat = 4, float vRepeat = 1);
    void sphere(const Vec3& centre, float radius, int segU, int segV, const std::string& material, float uRepeat = 2,
                float vRepeat = 1);
    // Surface of revolution about z of (radius, height) points.
    void lathe(const std::vector<Vec2>& profile, int segments, const std::string& material, float uRepeat = 1);
    // Flat (two-sided material expected) quad with full 0..1 uv.
    void panel(const Vec3& corner, const Vec3& edgeU, const Vec3& edgeV, const std::string& material, int nu = 1,
               int nv = 1);

    size_t faceCount() const { return mesh_.faces.size(); }
    size_t vertexCount() const { return mesh_.vertices.size(); }
    k3ds::Mesh finish();

private:
    k3ds::Mesh mesh_;
    Placement place_;
    std::map<std::string, std::vector<uint16_t>> byMaterial_;
    std::vector<std::string> materialOrder_;
};

// Animation of one object about its pivot (a world point at rest).
struct Motion {
    Vec3 pivot;                          // world position the object turns about
    std::vector<k3ds::PosKey> offset;    // added to the pivot over time (empty: still)
    std::vector<k3ds::RotKey> rotation;  // relative keys (empty: no turn)
};

Motion still(const Vec3& pivot);
Motion spin(const Vec3& pivot, const Vec3& axis, float radiansPerFrame, int endFrame, int step = 30);
Motion swing(const Vec3& pivot, const Vec3& axis, float amplitude, int halfPeriod, int endFrame, int phase = 0);

// A smooth path through (frame, point) controls, sampled every `step` frames.
std::vector<k3ds::PosKey> splinePath(const std::vector<std::pair<int, Vec3>>& controls, int step);

class SceneBuilder {
public:
    SceneBuilder(int segmentEnd);
    k3ds::Material& material(const std::string& name);
    // Returns the node id of the object, for children to name as parent.
    int object(k3ds::Mesh mesh, const Motion& motion, int parent = -1);
    void light(const std::string& name, const Vec3& at, k3ds::Rgb color, float inner, float outer);
    void camera(const std::string& name, const std::vector<k3ds::PosKey>& eye, const std::vector<k3ds::PosKey>& target,
                float lens);
    k3ds::Scene& scene() { return scene_; }

private:
    // A keyframer node of that kind and name with the next number.
    k3ds::Node newNode(k3ds::NodeKind kind, const std::string& name);

    k3ds::Scene scene_;
    std::map<int, Vec3> pivots_;
    int nextNode_ = 0;
};
