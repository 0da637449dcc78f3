#include "Writer3ds.h"

#include <cstdio>

#include "ChunkWriter.h"

namespace k3ds {
namespace {

constexpr size_t kMax16 = 65535;
constexpr uint16_t kKeyFlagsPlain = 0;

uint8_t toByte(float v) {
    float c = v < 0 ? 0 : (v > 1 ? 1 : v);
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

void writeColor24(ChunkWriter& w, uint16_t id, const Rgb& c) {
    w.begin(id);
    w.u8(toByte(c.r));
    w.u8(toByte(c.g));
    w.u8(toByte(c.b));
    w.end();
}

// One 24-bit colour per material colour: readers that take the first colour
// in place would count a second (linear) copy twice and stop short of the maps.
void writeMaterialColor(ChunkWriter& w, uint16_t id, const Rgb& c) {
    w.begin(id);
    writeColor24(w, id::kColor24, c);
    w.end();
}

void writePercent(ChunkWriter& w, uint16_t id, int percent) {
    w.begin(id);
    w.begin(id::kPercentInt);
    w.i16(static_cast<int16_t>(percent));
    w.end();
    w.end();
}

void writeVec3(ChunkWriter& w, const Vec3& v) {
    w.f32(v.x);
    w.f32(v.y);
    w.f32(v.z);
}

void writeMap(ChunkWriter& w, uint16_t id, const MapRef& m) {
    if (!m.present()) return;
    w.begin(id);
    w.begin(id::kPercentInt);
    w.i16(static_cast<int16_t>(m.percent));
    w.end();
    w.stringChunk(id::kMapFileName, m.file);
    w.shortChunk(id::kMapTiling, m.tiling);
    w.floatChunk(id::kMapUScale, m.uScale);
    w.floatChunk(id::kMapVScale, m.vScale);
    w.floatChunk(id::kMapUOffset, m.uOffset);
    w.floatChunk(id::kMapVOffset, m.vOffset);
    w.floatChunk(id::kMapRotation, m.angle);
    w.end();
}

void writeMaterial(ChunkWriter& w, const Material& m) {
    w.begin(id::kMaterialEntry);
    w.stringChunk(id::kMaterialName, m.name);
    writeMaterialColor(w, id::kAmbient, m.ambient);
    writeMaterialColor(w, id::kDiffuse, m.diffuse);
    writeMaterialColor(w, id::kSpecular, m.specular);
    writePercent(w, id::kShininess, m.shininess);
    writePercent(w, id::kShininessStrength, m.shininess / 2);
    writePercent(w, id::kTransparency, m.transparency);
    writePercent(w, id::kSelfIllumination, m.selfIllumination);
    if (m.twoSided) w.emptyChunk(id::kTwoSided);
    if (m.wire) w.emptyChunk(id::kWire);
    w.floatChunk(id::kWireSize, m.wireSize);
    w.shortChunk(id::kShading, 3);  // Phong
    writeMap(w, id::kTextureMap, m.texture);
    writeMap(w, id::kOpacityMap, m.opacity);
    writeMap(w, id::kReflectionMap, m.reflection);
    w.end();
}

void writeMesh(ChunkWriter& w, const Mesh& m) {
    w.begin(id::kNamedObject);
    w.str(m.name);
    if (m.hidden) w.emptyChunk(id::kObjectHidden);
    w.begin(id::kTriangleObject);

    w.begin(id::kVertexList);
    w.u16(static_cast<uint16_t>(m.vertices.size()));
    for (const Vec3& v : m.vertices) writeVec3(w, v);
    w.end();

    if (!m.uvs.empty()) {
        w.begin(id::kTextureCoords);
        w.u16(static_cast<uint16_t>(m.uvs.size()));
        for (const Vec2& t : m.uvs) {
            w.f32(t.u);
            w.f32(t.v);
        }
        w.end();
    }

    w.begin(id::kLocalAxes);
    for (float f : m.axes) w.f32(f);
    w.end();

    w.begin(id::kFaceList);
    w.u16(static_cast<uint16_t>(m.faces.size()));
    for (const Face& f : m.faces) {
        w.u16(f.a);
        w.u16(f.b);
        w.u16(f.c);
        w.u16(f.flags);
    }
    for (const FaceGroup& g : m.materials) {
        w.begin(id::kFaceMaterials);
        w.str(g.material);
        w.u16(static_cast<uint16_t>(g.faces.size()));
        for (uint16_t f : g.faces) w.u16(f);
        w.end();
    }
    if (!m.smoothing.empty()) {
        w.begin(id::kSmoothingGroups);
        for (uint32_t s : m.smoothing) w.u32(s);
        w.end();
    }
    w.end();  // face list

    w.end();  // tri object
    w.end();  // named object
}

void writeLight(ChunkWriter& w, const Light& l) {
    w.begin(id::kNamedObject);
    w.str(l.name);
    w.begin(id::kLight);
    writeVec3(w, l.position);
    // The colour must be the first sub-chunk: readers take it right after the position.
    w.begin(id::kColorFloat);
    w.f32(l.color.r);
    w.f32(l.color.g);
    w.f32(l.color.b);
    w.end();
    if (l.outerRange > 0) {
        w.floatChunk(id::kLightInnerRange, l.innerRange);
        w.floatChunk(id::kLightOuterRange, l.outerRange);
    }
    if (l.off) w.emptyChunk(id::kLightOff);
    if (l.spot) {
        w.begin(id::kSpotlight);
        writeVec3(w, l.target);
        w.f32(l.hotspot);
        w.f32(l.falloff);
        w.end();
    }
    w.end();
    w.end();
}

void writeCamera(ChunkWriter& w, const Camera& c) {
    w.begin(id::kNamedObject);
    w.str(c.name);
    w.begin(id::kCamera);
    writeVec3(w, c.eye);
    writeVec3(w, c.target);
    w.f32(c.roll);
    w.f32(c.lens);
    w.end();
    w.end();
}

void writeTrackHeader(ChunkWriter& w, size_t keys) {
    w.u16(0);  // track flags
    w.u32(0);
    w.u32(0);
    w.u32(static_cast<uint32_t>(keys));
}

void writeKeyHeader(ChunkWriter& w, int frame) {
    w.u32(static_cast<uint32_t>(frame));
    w.u16(kKeyFlagsPlain);
}

void writeVecTrack(ChunkWriter& w, uint16_t trackId, const std::vector<PosKey>& keys) {
    if (keys.empty()) return;
    w.begin(trackId);
    writeTrackHeader(w, keys.size());
    for (const PosKey& k : keys) {
        writeKeyHeader(w, k.frame);
        writeVec3(w, k.v);
    }
    w.end();
}

void writeRollTrack(ChunkWriter& w, const std::vector<PosKey>& keys) {
    if (keys.empty()) return;
    w.begin(id::kRollTrack);
    writeTrackHeader(w, keys.size());
    for (const PosKey& k : keys) {
        writeKeyHeader(w, k.frame);
        w.f32(k.v.x);
    }
    w.end();
}

void writeRotTrack(ChunkWriter& w, const std::vector<RotKey>& keys) {
    if (keys.empty()) return;
    w.begin(id::kRotationTrack);
    writeTrackHeader(w, keys.size());
    for (const RotKey& k : keys) {
        writeKeyHeader(w, k.frame);
        w.f32(k.angle);
        writeVec3(w, k.axis);
    }
    w.end();
}

uint16_t nodeChunkId(NodeKind kind) {
    switch (kind) {
        case NodeKind::Camera: return id::kCameraNode;
        case NodeKind::Target: return id::kTargetNode;
        case NodeKind::Light: return id::kLightNode;
        default: return id::kObjectNode;
    }
}

void writeNode(ChunkWriter& w, const Node& n) {
    w.begin(nodeChunkId(n.kind));
    if (n.writeId) w.shortChunk(id::kNodeId, static_cast<uint16_t>(n.id));
    w.begin(id::kNodeHeader);
    w.str(n.name);
    w.u16(0x4000);  // flags 1
    w.u16(0);       // flags 2
    w.i16(static_cast<int16_t>(n.parent));
    w.end();
    if (!n.instance.empty()) {
        w.begin(id::kInstanceName);
        w.str(n.instance);
        w.end();
    }
    if (n.kind == NodeKind::Object) {
        w.begin(id::kPivot);
        writeVec3(w, n.pivot);
        w.end();
    }
    writeVecTrack(w, id::kPositionTrack, n.position);
    writeRotTrack(w, n.rotation);
    writeVecTrack(w, id::kScaleTrack, n.scale);
    writeRollTrack(w, n.roll);
    w.end();
}

void writeKeyframer(ChunkWriter& w, const Scene& s) {
    w.begin(id::kKeyframer);
    w.begin(id::kKeyframerHeader);
    w.u16(5);
    w.str("KORVEX");
    w.u32(static_cast<uint32_t>(s.segmentEnd - s.segmentStart));
    w.end();
    w.begin(id::kSegment);
    w.u32(static_cast<uint32_t>(s.segmentStart));
    w.u32(static_cast<uint32_t>(s.segmentEnd));
    w.end();
    w.begin(id::kCurrentFrame);
    w.u32(static_cast<uint32_t>(s.currentFrame));
    w.end();
    for (const Node& n : s.nodes) writeNode(w, n);
    w.end();
}

bool validName(const std::string& n) { return !n.empty() && n.size() < 256; }

std::string validateMesh(const Mesh& m) {
    if (!validName(m.name)) return "mesh without a usable name";
    if (m.vertices.size() > kMax16) return m.name + ": too many vertices";
    if (m.faces.size() > kMax16) return m.name + ": too many faces";
    if (!m.uvs.empty() && m.uvs.size() != m.vertices.size()) return m.name + ": uv count differs from vertex count";
    if (!m.smoothing.empty() && m.smoothing.size() != m.faces.size())
        return m.name + ": smoothing count differs from face count";
    for (const Face& f : m.faces)
        if (f.a >= m.vertices.size() || f.b >= m.vertices.size() || f.c >= m.vertices.size())
            return m.name + ": face index past the vertex array";
    for (const FaceGroup& g : m.materials)
        for (uint16_t f : g.faces)
            if (f >= m.faces.size()) return m.name + ": material face number past the face array";
    return "";
}

}  // namespace

std::string validateScene(const Scene& scene) {
    for (const Mesh& m : scene.meshes) {
        std::string e = validateMesh(m);
        if (!e.empty()) return e;
    }
    for (const Material& m : scene.materials)
        if (!validName(m.name)) return "material without a usable name";
    for (const Node& n : scene.nodes) {
        if (!validName(n.name)) return "node without a usable name";
        if (n.position.size() > 32767 || n.rotation.size() > 32767) return n.name + ": too many keys";
        for (const PosKey& k : n.position)
            if (k.frame < 0 || k.frame > 32767) return n.name + ": key frame out of range";
        for (const RotKey& k : n.rotation)
            if (k.frame < 0 || k.frame > 32767) return n.name + ": key frame out of range";
    }
    if (scene.segmentEnd < scene.segmentStart) return "segment ends before it starts";
    return "";
}

bool writeScene(const Scene& scene, std::vector<uint8_t>& out, std::string* error) {
    std::string e = validateScene(scene);
    if (!e.empty()) {
        if (error) *error = e;
        return false;
    }
    ChunkWriter w;
    w.begin(id::kMain);
    w.begin(id::kVersion);
    w.u32(3);
    w.end();
    w.begin(id::kEditor);
    w.begin(id::kMeshVersion);
    w.u32(3);
    w.end();
    for (const Material& m : scene.materials) writeMaterial(w, m);
    w.floatChunk(id::kMasterScale, scene.masterScale);
    w.begin(id::kAmbientLight);
    w.begin(id::kColorFloat);
    w.f32(scene.ambient.r);
    w.f32(scene.ambient.g);
    w.f32(scene.ambient.b);
    w.end();
    w.end();
    for (const Mesh& m : scene.meshes) writeMesh(w, m);
    for (const Light& l : scene.lights) writeLight(w, l);
    for (const Camera& c : scene.cameras) writeCamera(w, c);
    w.end();  // editor
    if (scene.keyframer) writeKeyframer(w, scene);
    w.end();  // main
    out = w.data();
    return true;
}

bool saveScene(const Scene& scene, const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes;
    if (!writeScene(scene, bytes, error)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = "cannot create " + path;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}

}  // namespace k3ds
