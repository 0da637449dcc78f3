// Import of hand-built files: flag bits, parsers, colours and bad input.

#include <cmath>
#include <vector>

#include "ImportTestSupport.h"
#include "import3ds/ImportMessages.h"

using kvxtest::importBytes;
using kvxtest::mainWithEditor;

namespace {

const int kAll = kvxLoadScene;  // what the demo passes for its later scenes

// Material "Red" (24-bit 200,100,0 plus its linear twin), then an object
// holding a hidden flag and a two-face mesh whose faces name "Red" and an
// unknown material, then a light and a camera object.
Chunks3ds sampleScene() {
    Chunks3ds c = mainWithEditor();
    c.begin(0xAFFF).begin(0xA000).str("Red").end();
    c.begin(0xA020).color24(200, 100, 0).begin(0x0012).u8(1).u8(2).u8(3).end().end();
    c.begin(0xA010).colorF(0.25f, 0.5f, 0.75f).end();
    c.flag(0xA081);
    c.begin(0xA087).f32(2.5f).end();
    c.end();
    c.begin(0x4000).str("Box");
    c.flag(0x4010);
    c.triMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 1, 3, 2});
    c.begin(0x4130).str("Red").u16(1).u16(0).end();
    c.begin(0x4130).str("Nowhere").u16(1).u16(1).end();
    c.endTriMesh();
    c.begin(0x4140).u16(4).f32(0).f32(0).f32(1).f32(0).f32(0).f32(1).f32(1).f32(1).end();
    c.end();
    c.begin(0x4000).str("Lamp");
    c.begin(0x4600).vec(1, 2, 3).colorF(1.0f, 0.5f, 0.0f).begin(0x4659).f32(4).end().begin(0x465A).f32(40).end();
    c.end();
    c.end();
    c.begin(0x4000).str("Cam");
    c.begin(0x4700).vec(10, 0, 0).vec(0, 0, 0).f32(5).f32(50).end();
    c.end();
    c.end().end();
    return c;
}

TEST(Import3ds, RejectsWhatIsNotA3dsFile) {
    kvxtest::LogCapture log("import-format.log");
    OGroup g;
    Chunks3ds c;
    c.begin(0x4D4E).u32(0).end();
    EXPECT_EQ(importBytes(c, &g, kAll), kCodeNotA3ds);
    EXPECT_TRUE(log.contains("3DS file expected but something else encountered"));
    EXPECT_TRUE(log.contains("Start loading..."));
    EXPECT_FALSE(log.contains("Start processing..."));
    EXPECT_EQ(g.tlistCount, 0);
    EXPECT_EQ(g.pathListCount, 0);

    EXPECT_EQ(load3ds("x", &g, "", kAll, nullptr, nullptr), kCodeCannotOpen);
    EXPECT_EQ(load3ds("/no/such/file.3ds", &g, "", kAll, nullptr, nullptr), kCodeCannotOpen);
    EXPECT_TRUE(log.contains("Cannot open .3DS file (possible disk error)"));
    EXPECT_EQ(g.tlistCount, 0);
}

TEST(Import3ds, MeshesOnlyTakesMeshesAndNumbersEveryFaceZero) {
    OGroup g;
    ASSERT_EQ(importBytes(sampleScene(), &g, 0x0004), 0);
    ASSERT_EQ(g.meshCount, 1);
    EXPECT_EQ(g.lightCount, 0);
    EXPECT_EQ(g.cameraCount, 0);
    EXPECT_EQ(g.tlistCount, 0);
    EXPECT_EQ(g.pathListCount, 0);
    Mesh* m = g.meshes[0];
    EXPECT_STREQ(m->name, "Box");
    EXPECT_FALSE(m->visible);  // hidden flag before the triangle object
    EXPECT_EQ(m->vertexCount, 4);
    ASSERT_EQ(m->faceCount, 2);
    EXPECT_EQ(m->faceMaterials[0], 0);
    EXPECT_EQ(m->faceMaterials[1], 0);
    EXPECT_EQ(m->faceFlags[0], 7);
    EXPECT_FLOAT_EQ(m->textureCoords[3].x, 1.0f);
    EXPECT_NE(m->materialGroups, nullptr);  // prepared
    EXPECT_GT(m->radius, 0.0f);
}

TEST(Import3ds, MaterialsOnlyBuildsOneListWithColoursAndFlags) {
    OGroup g;
    ASSERT_EQ(importBytes(sampleScene(), &g, 0x0040), 0);
    EXPECT_EQ(g.meshCount, 0);
    ASSERT_EQ(g.tlistCount, 1);
    EXPECT_EQ(g.activeTList, g.tlists[0]);
    Material* red = g.tlists[0]->seekMaterial("Red");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->id, 1);
    ASSERT_NE(red->diffuse, nullptr);
    EXPECT_NEAR(red->diffuse->r, 0.784f, 0.001f);
    EXPECT_NEAR(red->diffuse->g, 0.392f, 0.001f);
    EXPECT_NEAR(red->diffuse->b, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(red->diffuse->a, 1.0f);
    ASSERT_NE(red->ambient, nullptr);
    EXPECT_FLOAT_EQ(red->ambient->g, 0.5f);
    // The chunks after a colour chunk with two colours are not lost.
    EXPECT_TRUE(red->twoSided);
    EXPECT_FLOAT_EQ(red->wireSize, 2.5f);
    // Every material gets a first texture from its diffuse colour.
    EXPECT_NE(red->firstTexture, nullptr);
    EXPECT_NE(g.tlists[0]->head->firstTexture, nullptr);
}

TEST(Import3ds, FaceMaterialsLightsAndCamerasWithAllFlags) {
    OGroup g;
    ASSERT_EQ(importBytes(sampleScene(), &g, kAll), 0);
    ASSERT_EQ(g.meshCount, 1);
    Mesh* m = g.meshes[0];
    ASSERT_EQ(m->faceCount, 2);
    // Faces are sorted by material; count each number once.
    int red = 0, fallback = 0;
    for (int f = 0; f < 2; ++f) (m->faceMaterials[f] == 1 ? red : fallback)++;
    EXPECT_EQ(red, 1);
    EXPECT_EQ(fallback, 1);  // unknown name: "KVXDefault", number 0

    ASSERT_EQ(g.lightCount, 1);
    Light* l = g.lights[0];
    EXPECT_STREQ(l->name, "Lamp");
    EXPECT_FLOAT_EQ(l->location.z, 3.0f);
    EXPECT_FLOAT_EQ(l->color.g, 0.5f);
    EXPECT_FLOAT_EQ(l->color.a, 1.0f);
    EXPECT_FLOAT_EQ(l->innerRange, 4.0f);
    EXPECT_FLOAT_EQ(l->outerRange, 40.0f);

    ASSERT_EQ(g.cameraCount, 1);
    Camera* cam = g.cameras[0];
    EXPECT_EQ(g.activeCamera, cam);
    EXPECT_FLOAT_EQ(cam->eye.x, 10.0f);
    EXPECT_FLOAT_EQ(cam->roll, 5.0f);
    EXPECT_FLOAT_EQ(cam->lens, 50.0f);
    EXPECT_NEAR(cam->fov, 46.3594f, 1e-3f);
}

TEST(Import3ds, FacesNamingMissingVerticesAreDropped) {
    Chunks3ds c = mainWithEditor();
    c.begin(0x4000).str("Bad");
    c.triMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 5, 1, 2, 1, 0, 65535, 0, 0});
    c.begin(0x4130).str("X").u16(3).u16(0).u16(2).u16(40000).end();
    c.endTriMesh();
    c.end().end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    ASSERT_EQ(g.meshCount, 1);
    Mesh* m = g.meshes[0];
    ASSERT_EQ(m->faceCount, 2);
    for (int f = 0; f < m->faceCount; ++f) EXPECT_TRUE(m->isFaceValid(f));
}

TEST(Import3ds, CountsBeyondTheDataAreCutToTheData) {
    Chunks3ds c = mainWithEditor();
    c.begin(0x4000).str("Huge");
    c.begin(0x4100);
    c.begin(0x4110).u16(65535).vec(1, 2, 3).vec(4, 5, 6).end();
    c.begin(0x4120).u16(60000).u16(0).u16(1).u16(1).u16(0).end();
    c.begin(0x4140).u16(9000).f32(0.5f).f32(0.5f).end();
    c.begin(0x4150).u32(1).end();
    c.end();
    c.end().end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    ASSERT_EQ(g.meshCount, 1);
    EXPECT_EQ(g.meshes[0]->vertexCount, 2);
    EXPECT_EQ(g.meshes[0]->faceCount, 1);
}

TEST(Import3ds, TruncatedAndCorruptFilesEndCleanly) {
    Chunks3ds whole = sampleScene();
    for (size_t cut = 0; cut < whole.bytes.size(); cut += 3) {
        Chunks3ds part;
        part.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + static_cast<long>(cut));
        OGroup g;
        int r = importBytes(part, &g, kAll | 0x0100);
        EXPECT_TRUE(r == 0 || r == 14) << "cut at " << cut;
    }
    // Zero, short and huge lengths in every chunk header.
    const uint32_t lengths[] = {0, 1, 5, 7, 0x7FFFFFFF, 0xFFFFFFFF};
    for (size_t at = 6; at + 6 <= whole.bytes.size(); ++at) {
        uint16_t id;
        std::memcpy(&id, &whole.bytes[at], 2);
        if (id < 0x0010 || (id > 0x0012 && id < 0x3D3D)) continue;
        for (uint32_t len : lengths) {
            Chunks3ds bad = whole;
            std::memcpy(&bad.bytes[at + 2], &len, 4);
            OGroup g;
            EXPECT_EQ(importBytes(bad, &g, kAll), 0);
        }
    }
}

TEST(Import3ds, NamesWithoutTerminatorEndAtTheBuffer) {
    Chunks3ds c;
    c.begin(0x4D4D).begin(0x3D3D).begin(0x4000);
    std::string name(400, 'n');
    c.raw(name.data(), name.size());
    OGroup g;
    EXPECT_EQ(importBytes(c, &g, kAll), 0);
    EXPECT_EQ(g.meshCount, 0);

    Chunks3ds longName = mainWithEditor();
    longName.begin(0x4000).str(std::string(300, 'L'));
    longName.triMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}).endTriMesh();
    longName.end().end().end();
    OGroup h;
    ASSERT_EQ(importBytes(longName, &h, kAll), 0);
    ASSERT_EQ(h.meshCount, 1);
    EXPECT_EQ(std::strlen(h.meshes[0]->name), 255u);
    EXPECT_EQ(h.meshes[0]->faceCount, 1);
}

std::vector<float> progressSeen;
void recordProgress(float x) { progressSeen.push_back(x); }

TEST(Import3ds, ProgressNeverGoesBackAndEndsAtOne) {
    progressSeen.clear();
    OGroup g;
    ASSERT_EQ(importBytes(sampleScene(), &g, kAll, "progress.3ds", "", recordProgress), 0);
    ASSERT_FALSE(progressSeen.empty());
    for (size_t i = 1; i < progressSeen.size(); ++i) EXPECT_GE(progressSeen[i], progressSeen[i - 1]);
    EXPECT_FLOAT_EQ(progressSeen.back(), 1.0f);
    bool parsedHalf = false, textures = false, meshes = false, parents = false;
    for (float x : progressSeen) {
        parsedHalf |= x == 0.5f;
        textures |= x == 0.7f;
        meshes |= x == 0.9f;
        parents |= x == 0.95f;
    }
    EXPECT_TRUE(parsedHalf && textures && meshes && parents);
}

TEST(Import3ds, LoadsFromAPackFile) {
    kvxtest::window();
    Chunks3ds scene = sampleScene();
    // Directory: one entry and the terminator, then the data.
    std::vector<uint8_t> pack(264 * 2, 0);
    uint32_t start = 0, end = static_cast<uint32_t>(scene.bytes.size() - 1), stop = 0xFFFFFFFFu;
    std::memcpy(&pack[0], &start, 4);
    std::memcpy(&pack[4], &end, 4);
    std::strcpy(reinterpret_cast<char*>(&pack[8]), "SCENES\\BOX.3DS");
    std::memcpy(&pack[264], &stop, 4);
    pack.insert(pack.end(), scene.bytes.begin(), scene.bytes.end());
    std::string path = kvxtest::scratch("scenes.pak");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(pack.data(), 1, pack.size(), f);
    std::fclose(f);

    OGroup g;
    EXPECT_EQ(load3ds("scenes\\box.3ds", &g, "", kAll | 0x8000, nullptr, path.c_str()), 0);
    EXPECT_EQ(g.meshCount, 1);
    EXPECT_EQ(g.cameraCount, 1);
    OGroup h;
    EXPECT_EQ(load3ds("scenes\\none.3ds", &h, "", kAll | kvxLoadFromArchive, nullptr, path.c_str()), kCodeCannotOpen);
    EXPECT_EQ(load3ds("scenes\\box.3ds", &h, "", kAll | 0x8000, nullptr, nullptr), kCodeCannotOpen);
    EXPECT_EQ(h.meshCount, 0);
}

TEST(Import3ds, LoadsIntoAGroupThatAlreadyHoldsMeshes) {
    OGroup g;
    ASSERT_EQ(importBytes(sampleScene(), &g, kAll, "first.3ds"), 0);
    ASSERT_EQ(importBytes(sampleScene(), &g, kAll, "second.3ds"), 0);
    EXPECT_EQ(g.meshCount, 2);
    EXPECT_EQ(g.tlistCount, 2);
    EXPECT_EQ(g.activeTList, g.tlists[0]);
    EXPECT_EQ(g.activeCamera, g.cameras[0]);
    g.clear();
    EXPECT_EQ(g.meshCount, 0);
    EXPECT_EQ(g.activeTList, nullptr);
}

}  // namespace
