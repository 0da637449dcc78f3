#include "Geometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831853f;
constexpr float kPi = 3.1415926f;
}  // namespace

Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(const Vec3& a, float k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const Vec3& a) { return std::sqrt(dot(a, a)); }
Vec3 normalize(const Vec3& a) {
    float l = length(a);
    return l > 0 ? a * (1.0f / l) : Vec3{0, 0, 1};
}

Placement Placement::at(const Vec3& p) {
    Placement r;
    r.t = p;
    return r;
}

Placement Placement::rotation(const Vec3& axis, float radians) {
    Vec3 a = normalize(axis);
    float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    Placement r;
    r.m[0][0] = c + a.x * a.x * k;
    r.m[0][1] = a.x * a.y * k - a.z * s;
    r.m[0][2] = a.x * a.z * k + a.y * s;
    r.m[1][0] = a.y * a.x * k + a.z * s;
    r.m[1][1] = c + a.y * a.y * k;
    r.m[1][2] = a.y * a.z * k - a.x * s;
    r.m[2][0] = a.z * a.x * k - a.y * s;
    r.m[2][1] = a.z * a.y * k + a.x * s;
    r.m[2][2] = c + a.z * a.z * k;
    return r;
}

Vec3 Placement::apply(const Vec3& p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x, m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
}

Placement Placement::then(const Placement& outer) const {
    Placement r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = 0;
            for (int k = 0; k < 3; ++k) r.m[i][j] += outer.m[i][k] * m[k][j];
        }
    r.t = outer.apply(t);
    return r;
}

int MeshBuilder::vertex(const Vec3& p, const Vec2& uv) {
    mesh_.vertices.push_back(place_.apply(p));
    mesh_.uvs.push_back(uv);
    return static_cast<int>(mesh_.vertices.size() - 1);
}

void MeshBuilder::tri(int a, int b, int c, const std::string& material, uint32_t smooth, uint16_t flags) {
    k3ds::Face f;
    f.a = static_cast<uint16_t>(a);
    f.b = static_cast<uint16_t>(b);
    f.c = static_cast<uint16_t>(c);
    f.flags = flags;
    if (!byMaterial_.count(material)) materialOrder_.push_back(material);
    byMaterial_[material].push_back(static_cast<uint16_t>(mesh_.faces.size()));
    mesh_.faces.push_back(f);
    mesh_.smoothing.push_back(smooth);
}

void MeshBuilder::quad(int a, int b, int c, int d, const std::string& material, uint32_t smooth) {
    tri(a, b, c, material, smooth, 2 | 4);  // a-b, b-c; c-a is the diagonal
    tri(a, c, d, material, smooth, 4 | 1);  // c-d, d-a; a-c is the diagonal
}

void MeshBuilder::surface(int nu, int nv, const std::function<Vec3(float, float)>& f, const std::string& material,
                          uint32_t smooth, float uScale, float vScale, bool flip) {
    int base = static_cast<int>(mesh_.vertices.size());
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            float u = static_cast<float>(i) / nu, v = static_cast<float>(j) / nv;
            vertex(f(u, v), {u * uScale, v * vScale});
        }
    auto idx = [&](int i, int j) { return base + j * (nu + 1) + i; };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            if (flip)
                quad(idx(i, j), idx(i, j + 1), idx(i + 1, j + 1), idx(i + 1, j), material, smooth);
            else
                quad(idx(i, j), idx(i + 1, j), idx(i + 1, j + 1), idx(i, j + 1), material, smooth);
        }
}

void MeshBuilder::panel(const Vec3& corner, const Vec3& edgeU, const Vec3& edgeV, const std::string& material, int nu,
                        int nv) {
    surface(
        nu, nv, [&](float u, float v) { return corner + edgeU * u + edgeV * v; }, material, 2);
}

void MeshBuilder::box(const Vec3& c, const Vec3& s, const std::string& material, float uvUnit, int divisions) {
    Vec3 h = s * 0.5f;
    struct Side {
        Vec3 corner, u, v;
        float uLen, vLen;
    };
    const Side sides[6] = {
        {{c.x - h.x, c.y - h.y, c.z - h.z}, {s.x, 0, 0}, {0, 0, s.z}, s.x, s.z},   // -y
        {{c.x + h.x, c.y + h.y, c.z - h.z}, {-s.x, 0, 0}, {0, 0, s.z}, s.x, s.z},  // +y
        {{c.x + h.x, c.y - h.y, c.z - h.z}, {0, s.y, 0}, {0, 0, s.z}, s.y, s.z},   // +x
        {{c.x - h.x, c.y + h.y, c.z - h.z}, {0, -s.y, 0}, {0, 0, s.z}, s.y, s.z},  // -x
        {{c.x - h.x, c.y - h.y, c.z + h.z}, {s.x, 0, 0}, {0, s.y, 0}, s.x, s.y},   // +z
        {{c.x - h.x, c.y + h.y, c.z - h.z}, {s.x, 0, 0}, {0, -s.y, 0}, s.x, s.y},  // -z
    };
    for (int i = 0; i < 6; ++i) {
        const Side& sd = sides[i];
        surface(
            divisions, divisions, [&](float u, float v) { return sd.corner + sd.u * u + sd.v * v; }, material, 2u << i,
            sd.uLen / uvUnit, sd.vLen / uvUnit);
    }
}

void MeshBuilder::cylinder(const Vec3& b, float r, float h, int seg, const std::string& material, bool caps,
                           float uRepeat, float vRepeat) {
    surface(
        seg, 1,
        [&](float u, float v) {
            return Vec3{b.x + r * std::cos(kTwoPi * u), b.y + r * std::sin(kTwoPi * u), b.z + h * v};
        },
        material, kSmooth, uRepeat, vRepeat);
    if (!caps) return;
    for (int end = 0; end < 2; ++end) {
        float z = b.z + (end ? h : 0);
        int centre = vertex({b.x, b.y, z}, {0.5f, 0.5f});
        int first = static_cast<int>(mesh_.vertices.size());
        for (int i = 0; i <= seg; ++i) {
            float a = kTwoPi * i / seg;
            vertex({b.x + r * std::cos(a), b.y + r * std::sin(a), z},
                   {0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)});
        }
        for (int i = 0; i < seg; ++i) {
            if (end)
                tri(centre, first + i, first + i + 1, material, 4, 4);
            else
                tri(centre, first + i + 1, first + i, material, 8, 4);
        }
    }
}

void MeshBuilder::torus(const Vec3& c, float R, float r, int segU, int segV, const std::string& material, float uRepeat,
                        float vRepeat) {
    surface(
        segU, segV,
        [&](float u, float v) {
            float cu = std::cos(kTwoPi * u), su = std::sin(kTwoPi * u);
            float cv = std::cos(kTwoPi * v), sv = std::sin(kTwoPi * v);
            return Vec3{c.x + (R + r * cv) * cu, c.y + (R + r * cv) * su, c.z + r * sv};
        },
        material, kSmooth, uRepeat, vRepeat);
}

void MeshBuilder::sphere(const Vec3& c, float radius, int segU, int segV, const std::string& material, float uRepeat,
                         float vRepeat) {
    surface(
        segU, segV,
        [&](float u, float v) {
            float th = kPi * (1 - v), ph = kTwoPi * u;
            return Vec3{c.x + radius * std::sin(th) * std::cos(ph), c.y + radius * std::sin(th) * std::sin(ph),
                        c.z + radius * std::cos(th)};
        },
        material, kSmooth, uRepeat, vRepeat);
}

void MeshBuilder::lathe(const std::vector<Vec2>& profile, int segments, const std::string& material, float uRepeat) {
    int n = static_cast<int>(profile.size()) - 1;
    if (n < 1) return;
    surface(
        segments, n,
        [&](float u, float v) {
            int i = std::min(n, static_cast<int>(std::lround(v * n)));
            float r = profile[i].u, z = profile[i].v;
            return Vec3{r * std::cos(kTwoPi * u), r * std::sin(kTwoPi * u), z};
        },
        material, kSmooth, uRepeat, 1);
}

k3ds::Mesh MeshBuilder::finish() {
    mesh_.materials.clear();
    for (const std::string& m : materialOrder_) mesh_.materials.push_back({m, byMaterial_[m]});
    return mesh_;
}

Motion still(const Vec3& pivot) { return Motion{pivot, {}, {}}; }

Motion spin(const Vec3& pivot, const Vec3& axis, float radiansPerFrame, int endFrame, int step) {
    Motion m{pivot, {}, {}};
    m.rotation.push_back({0, 0, axis});
    for (int f = step; f < endFrame + step; f += step) m.rotation.push_back({f, radiansPerFrame * step, axis});
    return m;
}

Motion swing(const Vec3& pivot, const Vec3& axis, float amplitude, int halfPeriod, int endFrame, int phase) {
    Motion m{pivot, {}, {}};
    m.rotation.push_back({0, -amplitude * 0.5f, axis});
    float sign = 1;
    int f = halfPeriod - phase % halfPeriod;
    for (; f < endFrame + halfPeriod; f += halfPeriod, sign = -sign) m.rotation.push_back({f, sign * amplitude, axis});
    return m;
}

std::vector<k3ds::PosKey> splinePath(const std::vector<std::pair<int, Vec3>>& c, int step) {
    std::vector<k3ds::PosKey> keys;
    if (c.empty()) return keys;
    size_t n = c.size();
    auto point = [&](long i) {
        return c[static_cast<size_t>(std::max(0L, std::min(static_cast<long>(n) - 1, i)))].second;
    };
    for (size_t s = 0; s + 1 < n; ++s) {
        int f0 = c[s].first, f1 = c[s + 1].first;
        Vec3 p0 = point(static_cast<long>(s) - 1), p1 = point(s), p2 = point(s + 1), p3 = point(s + 2);
        for (int f = f0; f < f1; f += step) {
            float t = static_cast<float>(f - f0) / (f1 - f0), t2 = t * t, t3 = t2 * t;
            Vec3 p =
                (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) *
                0.5f;
            keys.push_back({f, p});
        }
    }
    keys.push_back({c.back().first, c.back().second});
    return keys;
}

SceneBuilder::SceneBuilder(int segmentEnd) {
    scene_.segmentStart = 0;
    scene_.segmentEnd = segmentEnd;
}

k3ds::Material& SceneBuilder::material(const std::string& name) {
    for (k3ds::Material& m : scene_.materials)
        if (m.name == name) return m;
    scene_.materials.push_back(k3ds::Material{});
    scene_.materials.back().name = name;
    return scene_.materials.back();
}

int SceneBuilder::object(k3ds::Mesh mesh, const Motion& motion, int parent) {
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const Vec3& v : mesh.vertices) {
        lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    Vec3 centre = mesh.vertices.empty() ? Vec3{} : (lo + hi) * 0.5f;
    Vec3 base = parent >= 0 ? pivots_[parent] : Vec3{};
    k3ds::Node node = newNode(k3ds::NodeKind::Object, mesh.name);
    node.parent = parent;
    // The mesh's own frame has its origin at the bounding-box centre (axes
    // unchanged), so the pivot is given relative to that centre: every reader
    // of the format places the object where the engine draws it.
    mesh.axes[9] = centre.x;
    mesh.axes[10] = centre.y;
    mesh.axes[11] = centre.z;
    node.pivot = motion.pivot - centre;
    if (motion.offset.empty()) node.position.push_back({0, motion.pivot - base});
    for (const k3ds::PosKey& k : motion.offset) node.position.push_back({k.frame, motion.pivot + k.v - base});
    node.rotation = motion.rotation;
    if (node.rotation.empty()) node.rotation.push_back({0, 0, {0, 0, 1}});
    pivots_[node.id] = motion.pivot;
    scene_.meshes.push_back(std::move(mesh));
    scene_.nodes.push_back(node);
    return node.id;
}

void SceneBuilder::light(const std::string& name, const Vec3& at, k3ds::Rgb color, float inner, float outer) {
    k3ds::Light l;
    l.name = name;
    l.position = at;
    l.color = color;
    l.innerRange = inner;
    l.outerRange = outer;
    scene_.lights.push_back(l);
    k3ds::Node node = newNode(k3ds::NodeKind::Light, name);
    node.position.push_back({0, at});
    scene_.nodes.push_back(node);
}

void SceneBuilder::camera(const std::string& name, const std::vector<k3ds::PosKey>& eye,
                          const std::vector<k3ds::PosKey>& target, float lens) {
    k3ds::Camera c;
    c.name = name;
    c.eye = eye.empty() ? Vec3{} : eye.front().v;
    c.target = target.empty() ? Vec3{0, 1, 0} : target.front().v;
    c.lens = lens;
    scene_.cameras.push_back(c);
    k3ds::Node eyeNode = newNode(k3ds::NodeKind::Camera, name);
    eyeNode.position = eye;
    scene_.nodes.push_back(eyeNode);
    k3ds::Node targetNode = newNode(k3ds::NodeKind::Target, name);
    targetNode.position = target;
    scene_.nodes.push_back(targetNode);
}

k3ds::Node SceneBuilder::newNode(k3ds::NodeKind kind, const std::string& name) {
    k3ds::Node node;
    node.kind = kind;
    node.name = name;
    node.id = nextNode_++;
    return node;
}
