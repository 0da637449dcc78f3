#pragma once
// In-memory description of a .3DS scene as the writer emits it.
#include <cstdint>
#include <string>
#include <vector>

namespace k3ds {

struct Vec2 {
    float u = 0, v = 0;
};
struct Vec3 {
    float x = 0, y = 0, z = 0;
};
struct Rgb {
    float r = 0, g = 0, b = 0;
};

struct MapRef {
    std::string file;  // empty: no map
    int percent = 100;
    uint16_t tiling = 0;  // 0x10 = no tiling
    float uScale = 1, vScale = 1, uOffset = 0, vOffset = 0, angle = 0;
    bool present() const { return !file.empty(); }
};

struct Material {
    std::string name;
    Rgb ambient, diffuse{0.8f, 0.8f, 0.8f}, specular{1, 1, 1};
    int shininess = 20;        // percent
    int transparency = 0;      // percent
    int selfIllumination = 0;  // percent
    bool twoSided = false;
    bool wire = false;
    float wireSize = 1.0f;
    MapRef texture, opacity, reflection;
};

struct Face {
    uint16_t a = 0, b = 0, c = 0;
    uint16_t flags = 7;  // per-edge visibility bits
};

struct FaceGroup {
    std::string material;
    std::vector<uint16_t> faces;
};

struct Mesh {
    std::string name;
    bool hidden = false;
    std::vector<Vec3> vertices;
    std::vector<Vec2> uvs;  // empty or one per vertex
    std::vector<Face> faces;
    std::vector<uint32_t> smoothing;  // empty or one per face
    std::vector<FaceGroup> materials;
    float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};  // rows x, y, z, origin
};

struct Light {
    std::string name;
    Vec3 position;
    Rgb color{1, 1, 1};
    float innerRange = 0, outerRange = 0;  // outerRange 0: no range chunks
    bool spot = false;
    Vec3 target;
    float hotspot = 30, falloff = 45;
    bool off = false;
};

struct Camera {
    std::string name;
    Vec3 eye, target;
    float roll = 0;
    float lens = 35;
};

struct PosKey {
    int frame = 0;
    Vec3 v;
};
struct RotKey {
    int frame = 0;
    float angle = 0;
    Vec3 axis{0, 0, 1};
};  // radians, relative to the previous key

enum class NodeKind { Object, Camera, Target, Light };

struct Node {
    NodeKind kind = NodeKind::Object;
    std::string name;  // the object it animates (a target node names its camera)
    int id = 0;
    int parent = -1;  // id of the parent node, -1 for none
    Vec3 pivot;
    std::vector<PosKey> position;
    std::vector<RotKey> rotation;
    std::vector<PosKey> scale;
    std::vector<PosKey> roll;  // x used
    std::string instance;      // instance name (0xB011): names a dummy or one copy of a mesh
    bool writeId = true;       // false: readers number the node by its place in the file
};

struct Scene {
    float masterScale = 1.0f;
    Rgb ambient{0.1f, 0.1f, 0.1f};
    std::vector<Material> materials;
    std::vector<Mesh> meshes;
    std::vector<Light> lights;
    std::vector<Camera> cameras;
    bool keyframer = true;
    int segmentStart = 0, segmentEnd = 100, currentFrame = 0;
    std::vector<Node> nodes;

    size_t faceCount() const {
        size_t n = 0;
        for (const Mesh& m : meshes) n += m.faces.size();
        return n;
    }
};

}  // namespace k3ds
