// The .3DS writer: chunk structure, size bookkeeping, validation, and import
// of its output by the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "ChunkTree.h"
#include "TestWindow.h"
#include "Writer3ds.h"
#include "import3ds/Import3DS.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

k3ds::Mesh quadBox(const std::string& name, float x0, int firstSmooth, const std::string& material) {
    k3ds::Mesh m;
    m.name = name;
    for (int i = 0; i < 8; ++i) {
        m.vertices.push_back({x0 + float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
        m.uvs.push_back({float(i & 1), float((i >> 1) & 1)});
    }
    const uint16_t f[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                               {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    k3ds::FaceGroup g{material, {}};
    for (int i = 0; i < 12; ++i) {
        m.faces.push_back({f[i][0], f[i][1], f[i][2], 7});
        m.smoothing.push_back(uint32_t(firstSmooth) << (i / 2));
        g.faces.push_back(uint16_t(i));
    }
    m.materials.push_back(g);
    return m;
}

k3ds::Scene sampleScene() {
    k3ds::Scene s;
    k3ds::Material red;
    red.name = "RED";
    red.diffuse = {200 / 255.0f, 100 / 255.0f, 0};
    red.twoSided = true;
    red.transparency = 40;
    red.selfIllumination = 30;
    k3ds::Material glass;
    glass.name = "GLASS";
    glass.texture.file = "glass.jpg";
    glass.opacity.file = "glassa.jpg";
    s.materials = {red, glass};
    s.meshes = {quadBox("BOX", 0, 1, "RED"), quadBox("LID", 3, 64, "GLASS")};
    k3ds::Light l;
    l.name = "LAMP";
    l.position = {1, 2, 3};
    l.color = {1, 0.5f, 0.25f};
    l.innerRange = 10;
    l.outerRange = 100;
    s.lights = {l};
    k3ds::Camera c;
    c.name = "CAM";
    c.eye = {0, -10, 2};
    c.target = {0, 0, 0};
    c.lens = 50;
    s.cameras = {c};
    s.segmentStart = 0;
    s.segmentEnd = 120;
    k3ds::Node box{k3ds::NodeKind::Object,
                   "BOX",
                   0,
                   -1,
                   {0.5f, 0.5f, 0.5f},
                   {{0, {1, 2, 3}}, {60, {4, 5, 6}}},
                   {{0, 0, {0, 0, 1}}, {60, 1.5707964f, {0, 0, 1}}},
                   {},
                   {},
                   {}};
    k3ds::Node lid{k3ds::NodeKind::Object, "LID", 1, 0, {}, {{0, {3, 0, 0}}}, {}, {}, {}, {}};
    k3ds::Node cam{k3ds::NodeKind::Camera, "CAM", 2, -1, {}, {{0, {0, -10, 2}}, {120, {0, -20, 2}}}, {}, {}, {}, {}};
    k3ds::Node tgt{k3ds::NodeKind::Target, "CAM", 3, -1, {}, {{0, {0, 0, 0}}, {120, {1, 0, 0}}}, {}, {}, {}, {}};
    s.nodes = {box, lid, cam, tgt};
    return s;
}

std::vector<uint8_t> written(const k3ds::Scene& s) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(k3ds::writeScene(s, bytes, &error)) << error;
    return bytes;
}

}  // namespace

TEST(Writer3ds, ChunkTreeParsesBackWithConsistentLengths) {
    std::vector<uint8_t> bytes = written(sampleScene());
    ChunkNode root;
    std::string error;
    ASSERT_TRUE(parseChunks(bytes, root, error)) << error;
    EXPECT_EQ(root.id, 0x4D4D);
    EXPECT_EQ(root.length, bytes.size());

    std::vector<const ChunkNode*> objects;
    collectChunks(root, 0x4000, objects);
    ASSERT_EQ(objects.size(), 4u);  // two meshes, a light, a camera
    EXPECT_EQ(readString(bytes, objects[0]->offset + 6), "BOX");
    EXPECT_EQ(readString(bytes, objects[3]->offset + 6), "CAM");

    const ChunkNode* verts = findChunk(*objects[0], 0x4110);
    ASSERT_NE(verts, nullptr);
    EXPECT_EQ(readU16(bytes, verts->offset + 6), 8);
    EXPECT_EQ(verts->length, 6u + 2 + 8 * 12);
    const ChunkNode* faces = findChunk(*objects[0], 0x4120);
    ASSERT_NE(faces, nullptr);
    EXPECT_EQ(readU16(bytes, faces->offset + 6), 12);
    const ChunkNode* smooth = findChunk(*faces, 0x4150);
    ASSERT_NE(smooth, nullptr);
    EXPECT_EQ(smooth->length, 6u + 4 * 12);
    const ChunkNode* faceMat = findChunk(*faces, 0x4130);
    ASSERT_NE(faceMat, nullptr);
    EXPECT_EQ(readString(bytes, faceMat->offset + 6), "RED");

    // The light colour is the first thing after the position.
    const ChunkNode* light = findChunk(*objects[2], 0x4600);
    ASSERT_NE(light, nullptr);
    ASSERT_FALSE(light->children.empty());
    EXPECT_EQ(light->children[0].id, 0x0010);
    EXPECT_FLOAT_EQ(readF32(bytes, light->offset + 6 + 4), 2.0f);

    const ChunkNode* segment = findChunk(root, 0xB008);
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(readU32(bytes, segment->offset + 10), 120u);

    std::vector<const ChunkNode*> headers;
    collectChunks(root, 0xB010, headers);
    ASSERT_EQ(headers.size(), 4u);
    const uint32_t lidHeader = headers[1]->offset + 6;
    EXPECT_EQ(readString(bytes, lidHeader), "LID");
    EXPECT_EQ(int16_t(readU16(bytes, lidHeader + 4 + 4)), 0);  // parent: BOX's node
    EXPECT_EQ(int16_t(readU16(bytes, headers[0]->offset + 6 + 4 + 4)), -1);

    // Every material map keeps its file name.
    std::vector<const ChunkNode*> names;
    collectChunks(root, 0xA300, names);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(readString(bytes, names[0]->offset + 6), "glass.jpg");
    EXPECT_EQ(readString(bytes, names[1]->offset + 6), "glassa.jpg");
}

TEST(Writer3ds, RefusesScenesItCannotWriteFaithfully) {
    k3ds::Scene s = sampleScene();
    s.meshes[0].faces[3].c = 8;  // past the eight vertices
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(k3ds::writeScene(s, bytes, &error));
    EXPECT_NE(error.find("BOX"), std::string::npos);

    s = sampleScene();
    s.meshes[1].uvs.pop_back();
    EXPECT_FALSE(k3ds::writeScene(s, bytes, &error));
    s = sampleScene();
    s.meshes[1].materials[0].faces.push_back(12);
    EXPECT_FALSE(k3ds::writeScene(s, bytes, &error));
    s = sampleScene();
    s.nodes[0].position.push_back({40000, {}});
    EXPECT_FALSE(k3ds::writeScene(s, bytes, &error));
}

TEST(Writer3ds, OutputImportsThroughTheEngine) {
    TestWindow window;
    ASSERT_EQ(window.result, 0);
    std::string path = TestWindow::outputPath("writer_sample.3ds");
    std::string error;
    ASSERT_TRUE(k3ds::saveScene(sampleScene(), path, &error)) << error;

    OGroup group;
    // Meshes, lights, cameras, keyframer and materials; the maps are not on disk.
    ASSERT_EQ(load3ds(path.c_str(), &group, "nowhere", 0x7C | 0x100, nullptr, nullptr), 0);
    ASSERT_EQ(group.meshCount, 2);
    EXPECT_EQ(group.lightCount, 1);
    EXPECT_EQ(group.cameraCount, 1);
    EXPECT_EQ(group.frameCount, 120);
    EXPECT_TRUE(group.animated);

    Mesh* box = reinterpret_cast<Mesh*>(group.findObject("BOX"));
    Mesh* lid = reinterpret_cast<Mesh*>(group.findObject("LID"));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(lid, nullptr);
    EXPECT_EQ(box->faceCount, 12);
    EXPECT_EQ(lid->parent, reinterpret_cast<Object*>(box));
    EXPECT_EQ(box->parent, nullptr);

    ASSERT_NE(group.activeTList, nullptr);
    Material* red = group.activeTList->seekMaterial("RED");
    ASSERT_NE(red, nullptr);
    EXPECT_TRUE(red->twoSided);
    EXPECT_NEAR(red->transparency, 0.4f, 1e-6);
    ASSERT_NE(red->diffuse, nullptr);
    EXPECT_NEAR(red->diffuse->r, 0.784f, 0.002f);
    EXPECT_NEAR(red->diffuse->g, 0.392f, 0.002f);
    for (int i = 0; i < box->faceCount; ++i) EXPECT_EQ(box->faceMaterials[i], red->id);
    Material* glass = group.activeTList->seekMaterial("GLASS");
    ASSERT_NE(glass, nullptr);
    EXPECT_NE(glass->firstTexture, nullptr);
    EXPECT_NE(glass->opacityTexture, nullptr);

    Light* lamp = group.lights[0];
    EXPECT_FLOAT_EQ(lamp->location.y, 2.0f);
    EXPECT_FLOAT_EQ(lamp->color.g, 0.5f);
    EXPECT_FLOAT_EQ(lamp->outerRange, 100.0f);
    Camera* cam = group.cameras[0];
    EXPECT_FLOAT_EQ(cam->eye.y, -10.0f);
    EXPECT_NEAR(cam->fov, 46.3594f, 1e-3);

    // Box: position track of two keys, rotation of 90 degrees; camera eye and target.
    PathList* paths = group.activePathList;
    ASSERT_NE(paths, nullptr);
    int boxTracks = 0, eye = 0, target = 0;
    for (int i = 0; i < paths->pathCount; ++i) {
        KVXPath* p = paths->paths[i];
        if (p->object == reinterpret_cast<Object*>(box)) {
            ++boxTracks;
            if (p->track == 1) {
                EXPECT_NEAR(p->keys[1].angle, 90.0f, 1e-3);
            }
            if (p->track == 0) {
                EXPECT_FLOAT_EQ(p->keys[1].position.z, 6.0f);
            }
        }
        if (p->object == reinterpret_cast<Object*>(cam)) (p->nodeType == 7 ? eye : target) += 1;
    }
    EXPECT_EQ(boxTracks, 2);
    EXPECT_EQ(eye, 1);
    EXPECT_EQ(target, 1);
}
