// End to end: a generated .3DS scene loaded through the Scene, lit on load
// and queried through its octree.

#include <gtest/gtest.h>

#include <unistd.h>
#include <string>

#include "TestWindow.h"
#include "Writer3ds.h"
#include "import3ds/Import3DS.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Scene.h"
#include "spatial/Collision.h"

namespace {

// A 4 x 4 floor of 2 x 2 cells at z = 0, a slab at z = 3 over the cell
// around (1, 1), and one light straight above.
k3ds::Scene floorWithSlab() {
    k3ds::Scene s;
    s.keyframer = false;
    k3ds::Material mat;
    mat.name = "grey";
    s.materials.push_back(mat);
    k3ds::Mesh floor;
    floor.name = "floor";
    for (int j = 0; j <= 4; ++j)
        for (int i = 0; i <= 4; ++i) floor.vertices.push_back({float(i * 2 - 4), float(j * 2 - 4), 0});
    k3ds::FaceGroup group{"grey", {}};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            uint16_t a = uint16_t(j * 5 + i), b = uint16_t(a + 1), c = uint16_t(a + 5), d = uint16_t(c + 1);
            group.faces.push_back(uint16_t(floor.faces.size()));
            floor.faces.push_back({a, b, d});
            group.faces.push_back(uint16_t(floor.faces.size()));
            floor.faces.push_back({a, d, c});
        }
    floor.materials.push_back(group);
    s.meshes.push_back(floor);
    k3ds::Mesh slab;
    slab.name = "slab";
    slab.vertices = {{1.3f, 1.2f, 3}, {2.7f, 1.1f, 3}, {2.8f, 2.9f, 3}, {1.1f, 2.7f, 3}};
    slab.faces = {{0, 1, 2}, {0, 2, 3}};
    slab.materials.push_back(k3ds::FaceGroup{"grey", {0, 1}});
    s.meshes.push_back(slab);
    k3ds::Light light;
    light.name = "sun";
    light.position = {2, 2, 8};
    light.color = {1, 1, 1};
    light.innerRange = 0;
    light.outerRange = 40;
    s.lights.push_back(light);
    return s;
}

}  // namespace

TEST(SceneImport, CreateOGroupLightsWithShadowsAndBuildsTheTree) {
    TestWindow window;
    const std::string path = "/tmp/kvx-spatial-scene-" + std::to_string(getpid()) + ".3ds";
    std::string error;
    ASSERT_TRUE(k3ds::saveScene(floorWithSlab(), path, &error)) << error;
    Scene scene;
    const int flags = kvxLoadMeshes | kvxLoadLights | kvxLoadMaterials | kvxLoadLighting | kvxLoadOctree;
    OGroup* g = scene.createOGroup(path.c_str(), flags, "", 2, nullptr, nullptr);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->lightCount, 1);
    ASSERT_NE(g->octree, nullptr);
    Mesh* floor = nullptr;
    for (int i = 0; i < g->meshCount; ++i)
        if (g->meshes[i]->faceCount == 32) floor = g->meshes[i];
    ASSERT_NE(floor, nullptr);
    int shadowed = 0, lit = 0;
    for (int v = 0; v < floor->vertexCount; ++v) {
        float x = floor->vertices[v].x + floor->position.x, y = floor->vertices[v].y + floor->position.y;
        float red = floor->originalColors[v].r;
        if (x == 2 && y == 2) {
            EXPECT_EQ(red, 0.0f);
            ++shadowed;
        } else if (red > 0.0f) {
            ++lit;
            EXPECT_FLOAT_EQ(floor->colors[v].r, red);  // gamma 1
        }
    }
    EXPECT_GT(shadowed, 0);
    EXPECT_GT(lit, 10);

    // The tree answers height and collision queries over the imported floor.
    Vertex3D from{-1, -1, 2}, to{-1, -1, -5};
    EXPECT_NEAR(kvxCheckHeight(&from, &to, g).z, 0.0f, 1e-5f);
    Vertex3D under{2, 2, 1}, down{2, 2, -5};
    EXPECT_NEAR(kvxCheckHeight(&under, &down, g).z, 0.0f, 1e-5f);
    Vertex3D pos{-1, -1, 0.2f}, old{-1, -1, 2}, normal;
    EXPECT_TRUE(kvxCheckCollision(&pos, &old, 0.5f, g, false, &normal, 2));
    EXPECT_FLOAT_EQ(pos.z, 2.0f);
    unlink(path.c_str());
}
